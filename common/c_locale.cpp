#include "common/c_locale.h"

namespace brenvale {

locale_t CLocale() {
    static const locale_t locale = ::newlocale(LC_ALL_MASK, "C", static_cast<locale_t>(nullptr));
    return locale;
}

TCLocaleScope::TCLocaleScope() : previous_(::uselocale(CLocale())) {}

TCLocaleScope::~TCLocaleScope() { ::uselocale(previous_); }

}  // namespace brenvale
