#include "app/window/program_information.h"

#include "common/version.h"

namespace brenvale {

std::string WindowUsageText() {
    return "Usage: brenvale [OPTION]... [--] [FILE]...\n"
           "Opens the window of Brenvale, a batch converter for video and audio files, with the\n"
           "FILEs (files, folders or file: URLs) in its list; a folder adds the supported files inside it.\n"
           "\n"
           "  -h, --help     show this help and exit\n"
           "      --version  show the program's name and version and exit\n"
           "      --         the words after it are files, even when they start with \"-\"\n"
           "\n"
           "Any other word that starts with \"-\" is refused. The window takes Qt's own options too,\n"
           "such as -platform NAME, -style NAME or -display DISPLAY. brenvale-cli converts files\n"
           "without a window.\n";
}

std::string WindowVersionText() { return "brenvale (Brenvale) " BRENVALE_VERSION "\n"; }

}  // namespace brenvale
