// Brenvale's window program.
#include <QApplication>
#include <QIcon>

#include <cstdio>

#include "app/previewer.h"
#include "app/window/command_line_files.h"
#include "app/window/dialogs.h"
#include "app/window/form1.h"
#include "app/window/program_information.h"
#include "app/window/secondary_windows.h"

namespace {

QStringList Arguments(int argc, char* argv[]) {
    QStringList arguments;
    for (int i = 1; i < argc; ++i) arguments << QString::fromLocal8Bit(argv[i]);
    return arguments;
}

// --version and --help answer at once, without a display.
bool AnswerWithoutWindow(const brenvale::TWindowCommandLine& command) {
    if (command.ShowVersion) std::fputs(brenvale::WindowVersionText().c_str(), stdout);
    else if (command.ShowHelp) std::fputs(brenvale::WindowUsageText().c_str(), stdout);
    return command.ShowVersion || command.ShowHelp;
}

}  // namespace

int main(int argc, char* argv[]) {
    if (AnswerWithoutWindow(brenvale::ReadWindowCommandLine(Arguments(argc, argv)))) return 0;
    QApplication application(argc, argv);  // takes its own options out of argv
    const brenvale::TWindowCommandLine command = brenvale::ReadWindowCommandLine(Arguments(argc, argv));
    if (!command.Error.isEmpty()) {
        std::fprintf(stderr, "brenvale: %s\nTry 'brenvale --help'.\n", qPrintable(command.Error));
        return 2;
    }
    application.setApplicationName(QStringLiteral("Corvane"));
    application.setDesktopFileName(QStringLiteral("brenvale"));  // the desktop entry: its icon on Wayland
    application.setWindowIcon(QIcon(QStringLiteral(":/brenvale/brenvale.svg")));
    brenvale::InstallPreviewer();
    brenvale::TQtDialogs dialogs;
    brenvale::TForm1 form(QCoreApplication::applicationDirPath() + "/Common Files", dialogs);
    if (!form.Started()) return 1;
    brenvale::CreateSecondaryWindows(form);  // Additional Options loads the settings
    form.show();
    form.AddPaths(command.Files);
    return application.exec();
}
