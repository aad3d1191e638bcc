#include "app/window/secondary_windows.h"

#include <utility>

#include "app/window/form1.h"
#include "app/window/form4.h"
#include "app/window/form_about.h"
#include "app/window/form_log.h"
#include "app/window/form_skin.h"

namespace brenvale {

TSecondaryWindows CreateSecondaryWindows(TForm1& form) {
    TSecondaryWindows windows;
    windows.FormSkin = new TFormSkin(form.Skins(), &form);
    windows.FormAbout = new TFormAbout(&form);
    windows.Form4 = new TForm4(form.GeneralOptions(), &form);
    form.LoadSettings();
    windows.FormLog = new TFormLog(form.ConversionLog(), &form);
    QObject::connect(&form, &TForm1::SkinsRequested, windows.FormSkin, &QDialog::exec);
    QObject::connect(&form, &TForm1::AboutRequested, windows.FormAbout, &QDialog::exec);
    for (const auto& [request, window] : {std::pair{&TForm1::SetGeneralOptionsRequested, static_cast<QWidget*>(windows.Form4)},
                                          std::pair{&TForm1::ConversionLogRequested, static_cast<QWidget*>(windows.FormLog)}}) {
        QObject::connect(&form, request, window, [window] {
            window->show();
            window->raise();
            window->activateWindow();
        });
    }
    return windows;
}

}  // namespace brenvale
