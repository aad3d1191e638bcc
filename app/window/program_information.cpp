#include "app/window/program_information.h"

#include "common/version.h"

namespace brenvale {

std::string WindowUsageText() {
    return "Usage: brenvale [OPTION]... [FILE]...\n"
           "Opens the window of Brenvale, a batch converter for video and audio files, with the\n"
           "FILEs (files, folders or file: URLs) in its list; a folder adds the supported files inside it.\n"
           "\n"
           "  -h, --help     show this help and exit\n"
           "      --version  show the program's name and version and exit\n"
           "\n"
           "The window takes Qt's own options too, such as -platform NAME, -style NAME or\n"
           "-display DISPLAY. brenvale-cli converts files without a window.\n";
}

std::optional<int> AnswerInformationRequest(const std::vector<std::string>& arguments, std::ostream& out) {
    for (const std::string& argument : arguments) {
        if (argument == "--") break;
        if (argument == "--help" || argument == "-h") {
            out << WindowUsageText();
            return 0;
        }
        if (argument == "--version") {
            out << "brenvale (Brenvale) " BRENVALE_VERSION "\n";
            return 0;
        }
    }
    return std::nullopt;
}

}  // namespace brenvale
