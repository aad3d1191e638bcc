// Contrast of two colours as the accessibility guidelines measure it (1:1 to 21:1).
#pragma once

#include <QColor>

namespace brenvale::testing {

double Contrast(const QColor& a, const QColor& b);

}  // namespace brenvale::testing
