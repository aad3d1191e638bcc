// Brenvale's window program.
#include <QApplication>
#include <QIcon>

#include <iostream>

#include "app/previewer.h"
#include "app/window/command_line_files.h"
#include "app/window/dialogs.h"
#include "app/window/form1.h"
#include "app/window/program_information.h"
#include "app/window/secondary_windows.h"

int main(int argc, char* argv[]) {
    if (const auto status = brenvale::AnswerInformationRequest({argv + 1, argv + argc}, std::cout)) return *status;
    QApplication application(argc, argv);  // takes its own options out of argv
    application.setApplicationName(QStringLiteral("Corvane"));
    application.setDesktopFileName(QStringLiteral("brenvale"));  // the desktop entry: its icon on Wayland
    application.setWindowIcon(QIcon(QStringLiteral(":/brenvale/brenvale.svg")));
    brenvale::InstallPreviewer();
    brenvale::TQtDialogs dialogs;
    brenvale::TForm1 form(QCoreApplication::applicationDirPath() + "/Common Files", dialogs);
    if (!form.Started()) return 1;
    brenvale::CreateSecondaryWindows(form);  // Additional Options loads the settings
    form.show();
    QStringList arguments;
    for (int i = 1; i < argc; ++i) arguments << QString::fromLocal8Bit(argv[i]);
    form.AddPaths(brenvale::CommandLinePaths(arguments));
    return application.exec();
}
