// The windows the main window opens from its menus: Choose Skin, About, Additional Options and
// the Conversion Log.
// They are created right after the main window, in that order, as its children, and kept for
// the whole run.
#pragma once

namespace brenvale {

class TForm1;
class TForm4;
class TFormAbout;
class TFormLog;
class TFormSkin;

struct TSecondaryWindows {
    TFormSkin* FormSkin = nullptr;
    TFormAbout* FormAbout = nullptr;
    TForm4* Form4 = nullptr;
    TFormLog* FormLog = nullptr;
};

// Creates the three windows, then the Conversion Log window, opens them on the main window's
// commands (Additional Options and the log without blocking, the others modally) and, as the
// Additional Options window's creation, loads the stored settings.
TSecondaryWindows CreateSecondaryWindows(TForm1& form);

}  // namespace brenvale
