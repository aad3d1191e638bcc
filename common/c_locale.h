// Numbers exchanged with the media libraries, option lines, log lines and files are written and
// read with a "." decimal point whatever locale the process runs under. A desktop set to German
// or French makes the C library write "29,97" and stop reading "15.0" at the point, and the
// window toolkit adopts that locale for the whole process.
#pragma once

#include <locale.h>

namespace brenvale {

// The "C" locale, for the C library's *_l functions. Created once, never freed.
locale_t CLocale();

// While it lives, the calling thread formats and parses numbers in the "C" locale, the media
// libraries' own strtod and printf calls included; the previous locale of the thread comes back
// at its end. Scopes nest.
class TCLocaleScope {
public:
    TCLocaleScope();
    ~TCLocaleScope();
    TCLocaleScope(const TCLocaleScope&) = delete;
    TCLocaleScope& operator=(const TCLocaleScope&) = delete;

private:
    locale_t previous_;
};

}  // namespace brenvale
