#include "cli/cli_app.h"

#include <unistd.h>

#include <filesystem>
#include <stdexcept>
#include <system_error>

#include "app/catalogue/text_rules.h"
#include "cli/catalogue_listing.h"
#include "cli/cli_arguments.h"
#include "cli/conversion_queue.h"
#include "cli/format_names.h"
#include "cli/info_command.h"
#include "cli/interrupt_signal.h"
#include "cli/preset_choices.h"
#include "cli/usage_error.h"
#include "common/version.h"

namespace brenvale::cli {
namespace {

// "Common Files" beside the program, where the libraries are looked for first.
std::string LibraryFolder() {
    std::error_code error;
    const std::filesystem::path program = std::filesystem::read_symlink("/proc/self/exe", error);
    if (error) return "Common Files";
    return (program.parent_path() / "Common Files").string();
}

std::string JoinedLines(const std::vector<std::string>& lines) {
    std::string text;
    for (const std::string& line : lines) text += line + "\n";
    return text;
}

// A missing output folder is made, with the folders above it.
void MakeOutputFolder(const std::string& folder) {
    std::error_code error;
    const std::string trimmed = TrimBlanks(folder);
    if (std::filesystem::is_directory(trimmed, error)) return;
    std::filesystem::create_directories(trimmed, error);
    if (error || !std::filesystem::is_directory(trimmed))
        throw std::runtime_error("cannot make the output folder \"" + folder + "\": " +
                                 (error ? error.message() : "a file of that name is in the way"));
}

const TheAVCodec& ChosenFormat(const TCliArguments& arguments) {
    return FormatByName(arguments.Format.empty() ? std::string(kDefaultFormatName) : arguments.Format);
}

int Convert(const TCliArguments& arguments, std::ostream& out, std::ostream& errors) {
    TQueueSettings settings;
    settings.Job = ChooseConversionSettings(ChosenFormat(arguments), arguments.Choices);
    MakeOutputFolder(arguments.OutputFolder);
    settings.OutputFolder = TrimBlanks(arguments.OutputFolder);
    settings.Overwrite = arguments.Overwrite;
    settings.ExtOptions = JoinedLines(arguments.ExtOptionLines);
    settings.InputOptions = JoinedLines(arguments.InputOptionLines);
    settings.Jobs = arguments.Jobs;
    settings.Verbose = arguments.Verbose;

    TProgressDisplay display = TProgressDisplay::ForStandardError();
    TConversionQueue queue(std::move(settings), display);
    std::string error;
    if (!queue.LoadLibraries(LibraryFolder(), error)) {
        errors << "brenvale-cli: " << error << '\n';
        return kExitFailed;
    }
    InstallInterruptHandlers();
    const std::vector<TFileOutcome> outcomes = queue.Run(arguments.Files);
    PrintOutcomes(outcomes, out);
    if (InterruptSignal() != 0) return 128 + InterruptSignal();
    return AllDone(outcomes) ? kExitDone : kExitFailed;
}

int Info(const TCliArguments& arguments, std::ostream& out, std::ostream& errors) {
    TConverter converter;
    if (!converter.LoadLibraries(LibraryFolder())) {
        errors << "brenvale-cli: " << converter.LastError() << '\n';
        return kExitFailed;
    }
    converter.SetLogLevel(TLogLevel::llQuiet);
    return PrintFileInfo(converter.Probe(), arguments.Files, arguments.Json, out, errors) ? kExitDone : kExitFailed;
}

int Dispatch(const TCliArguments& arguments, std::ostream& out, std::ostream& errors) {
    switch (arguments.Mode) {
    case TCliMode::Help:
        out << UsageText();
        return kExitDone;
    case TCliMode::ListFormats:
        ListFormats(out);
        return kExitDone;
    case TCliMode::ShowPreset:
        ShowPreset(ChosenFormat(arguments), out);
        return kExitDone;
    case TCliMode::ListValues:
        ListValues(ChosenFormat(arguments), arguments.ListedSetting, arguments.Choices, out);
        return kExitDone;
    case TCliMode::Version:
        out << "brenvale-cli (Brenvale) " BRENVALE_VERSION "\n";
        return kExitDone;
    case TCliMode::Info:
        return Info(arguments, out, errors);
    case TCliMode::Convert:
        break;
    }
    return Convert(arguments, out, errors);
}

}  // namespace

int RunCli(const std::vector<std::string>& arguments, std::ostream& out, std::ostream& errors) {
    try {
        return Dispatch(ParseCliArguments(arguments), out, errors);
    } catch (const TUsageError& error) {
        errors << "brenvale-cli: " << error.what() << "\n" << "Try 'brenvale-cli --help'.\n";
        return kExitUsage;
    } catch (const std::exception& error) {
        errors << "brenvale-cli: " << error.what() << '\n';
        return kExitFailed;
    }
}

}  // namespace brenvale::cli
