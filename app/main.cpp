// Brenvale's window program.
#include <QApplication>
#include <QIcon>

#include "app/previewer.h"
#include "app/window/dialogs.h"
#include "app/window/form1.h"
#include "app/window/secondary_windows.h"

int main(int argc, char* argv[]) {
    QApplication application(argc, argv);
    application.setApplicationName(QStringLiteral("Corvane"));
    application.setWindowIcon(QIcon(QStringLiteral(":/brenvale/brenvale.svg")));
    brenvale::InstallPreviewer();
    brenvale::TQtDialogs dialogs;
    brenvale::TForm1 form(QCoreApplication::applicationDirPath() + "/Common Files", dialogs);
    if (!form.Started()) return 1;
    brenvale::CreateSecondaryWindows(form);  // Additional Options loads the settings
    form.show();
    return application.exec();
}
