// Brenvale's window program.
#include <QApplication>

#include "app/previewer.h"
#include "app/window/dialogs.h"
#include "app/window/form1.h"

int main(int argc, char* argv[]) {
    QApplication application(argc, argv);
    application.setApplicationName(QStringLiteral("Corvane"));
    brenvale::InstallPreviewer();
    brenvale::TQtDialogs dialogs;
    brenvale::TForm1 form(QCoreApplication::applicationDirPath() + "/Common Files", dialogs);
    if (!form.Started()) return 1;
    form.LoadSettings();
    form.show();
    return application.exec();
}
