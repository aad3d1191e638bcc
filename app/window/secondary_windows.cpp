#include "app/window/secondary_windows.h"

#include "app/window/form1.h"
#include "app/window/form4.h"
#include "app/window/form_about.h"
#include "app/window/form_skin.h"

namespace brenvale {

TSecondaryWindows CreateSecondaryWindows(TForm1& form) {
    TSecondaryWindows windows;
    windows.FormSkin = new TFormSkin(form.Skins(), &form);
    windows.FormAbout = new TFormAbout(&form);
    windows.Form4 = new TForm4(form.GeneralOptions(), &form);
    form.LoadSettings();
    QObject::connect(&form, &TForm1::SkinsRequested, windows.FormSkin, &QDialog::exec);
    QObject::connect(&form, &TForm1::AboutRequested, windows.FormAbout, &QDialog::exec);
    QObject::connect(&form, &TForm1::SetGeneralOptionsRequested, windows.Form4, [form4 = windows.Form4] {
        form4->show();
        form4->raise();
        form4->activateWindow();
    });
    return windows;
}

}  // namespace brenvale
