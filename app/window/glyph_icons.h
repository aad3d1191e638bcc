// The pictures of the window's buttons, drawn as glyphs in the button's own text colour so that
// every skin shows them as clearly as its captions (the toolkit's standard icons are black and
// vanish on dark buttons). Window thread only.
#pragma once

#include <QColor>
#include <QIcon>

class QAbstractButton;

namespace brenvale {

enum class TGlyph { AddFiles, Remove, Clear, StopConvert, Convert, Browse, Play, Pause, Stop, Snapshot };

// The glyph at any size, drawn in `ink`, and in `disabled_ink` for a disabled button.
QIcon GlyphIcon(TGlyph glyph, const QColor& ink, const QColor& disabled_ink);

// Gives the button the glyph in its text colours now and again whenever a skin changes them.
void KeepGlyphIcon(QAbstractButton& button, TGlyph glyph);

}  // namespace brenvale
