#include "app/window/glyph_icons.h"

#include <QAbstractButton>
#include <QEvent>
#include <QIconEngine>
#include <QPainter>
#include <QPainterPath>

namespace brenvale {
namespace {

constexpr qreal kGrid = 24;  // glyphs are drawn on a 24 x 24 grid, scaled to the icon's size
constexpr qreal kStroke = 1.8;

QPainterPath Polygon(std::initializer_list<QPointF> points, bool closed = true) {
    QPainterPath path;
    path.moveTo(*points.begin());
    for (auto point = points.begin() + 1; point != points.end(); ++point) path.lineTo(*point);
    if (closed) path.closeSubpath();
    return path;
}

QPainterPath Line(QPointF from, QPointF to) { return Polygon({from, to}, false); }

struct TGlyphShape {
    QPainterPath Outline;  // stroked
    QPainterPath Filled;
};

TGlyphShape AddFilesShape() {
    TGlyphShape shape;
    shape.Outline = Polygon({{6, 3}, {14, 3}, {18, 7}, {18, 21}, {6, 21}});
    shape.Outline.addPath(Polygon({{14, 3}, {14, 7}, {18, 7}}, false));
    shape.Outline.addPath(Line({12, 10.5}, {12, 17.5}));
    shape.Outline.addPath(Line({8.5, 14}, {15.5, 14}));
    return shape;
}

TGlyphShape RemoveShape() {
    TGlyphShape shape;
    shape.Outline = Line({4, 6}, {20, 6});
    shape.Outline.addPath(Polygon({{9, 6}, {9, 3.5}, {15, 3.5}, {15, 6}}, false));
    shape.Outline.addPath(Polygon({{6, 6}, {7.2, 21}, {16.8, 21}, {18, 6}}, false));
    shape.Outline.addPath(Line({10, 10}, {10, 17}));
    shape.Outline.addPath(Line({14, 10}, {14, 17}));
    return shape;
}

TGlyphShape ClearShape() {
    TGlyphShape shape;
    shape.Outline = Line({3, 5}, {15, 5});
    shape.Outline.addPath(Line({3, 10}, {15, 10}));
    shape.Outline.addPath(Line({3, 15}, {9, 15}));
    shape.Outline.addPath(Line({13, 13}, {20, 20}));
    shape.Outline.addPath(Line({20, 13}, {13, 20}));
    return shape;
}

TGlyphShape BrowseShape() {
    TGlyphShape shape;
    shape.Outline = Polygon({{3, 5}, {9, 5}, {11, 7.5}, {21, 7.5}, {21, 19}, {3, 19}});
    shape.Outline.addPath(Line({3, 10}, {21, 10}));
    return shape;
}

TGlyphShape SnapshotShape() {
    TGlyphShape shape;
    shape.Outline.addRoundedRect(QRectF(3, 8, 18, 12), 2, 2);
    shape.Outline.addPath(Polygon({{8, 8}, {9.5, 5}, {14.5, 5}, {16, 8}}, false));
    shape.Outline.addEllipse(QPointF(12, 14), 3.5, 3.5);
    return shape;
}

TGlyphShape Shape(TGlyph glyph) {
    TGlyphShape shape;
    switch (glyph) {
    case TGlyph::AddFiles:
        return AddFilesShape();
    case TGlyph::Remove:
        return RemoveShape();
    case TGlyph::Clear:
        return ClearShape();
    case TGlyph::Browse:
        return BrowseShape();
    case TGlyph::Snapshot:
        return SnapshotShape();
    case TGlyph::StopConvert:
        shape.Filled.addRoundedRect(QRectF(6, 6, 12, 12), 2, 2);
        break;
    case TGlyph::Convert:
        shape.Filled = Polygon({{7, 4}, {19.5, 12}, {7, 20}});
        break;
    case TGlyph::Play:
        shape.Filled = Polygon({{8, 5}, {18.5, 12}, {8, 19}});
        break;
    case TGlyph::Pause:
        shape.Filled.addRect(QRectF(7, 5, 3.8, 14));
        shape.Filled.addRect(QRectF(13.2, 5, 3.8, 14));
        break;
    case TGlyph::Stop:
        shape.Filled.addRect(QRectF(7, 7, 10, 10));
        break;
    }
    return shape;
}

class TGlyphIconEngine final : public QIconEngine {
public:
    TGlyphIconEngine(TGlyph glyph, const QColor& ink, const QColor& disabled_ink)
        : glyph_(glyph), ink_(ink), disabled_ink_(disabled_ink) {}

    void paint(QPainter* painter, const QRect& rect, QIcon::Mode mode, QIcon::State) override {
        const QColor ink = mode == QIcon::Disabled ? disabled_ink_ : ink_;
        const TGlyphShape shape = Shape(glyph_);
        const qreal side = std::min(rect.width(), rect.height());
        painter->save();
        painter->setRenderHint(QPainter::Antialiasing);
        painter->translate(rect.x() + (rect.width() - side) / 2, rect.y() + (rect.height() - side) / 2);
        painter->scale(side / kGrid, side / kGrid);
        painter->setPen(QPen(ink, kStroke, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        painter->setBrush(Qt::NoBrush);
        painter->drawPath(shape.Outline);
        painter->setPen(QPen(ink, 1.0, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        painter->setBrush(ink);
        painter->drawPath(shape.Filled);
        painter->restore();
    }

    QPixmap pixmap(const QSize& size, QIcon::Mode mode, QIcon::State state) override {
        QPixmap picture(size);
        picture.fill(Qt::transparent);
        QPainter painter(&picture);
        paint(&painter, QRect(QPoint(0, 0), size), mode, state);
        return picture;
    }

    QIconEngine* clone() const override { return new TGlyphIconEngine(glyph_, ink_, disabled_ink_); }

private:
    TGlyph glyph_;
    QColor ink_;
    QColor disabled_ink_;
};

// Redraws a button's glyph whenever its palette changes: a new skin recolours its text.
class TGlyphKeeper final : public QObject {
public:
    TGlyphKeeper(QAbstractButton& button, TGlyph glyph) : QObject(&button), button_(button), glyph_(glyph) {
        button.installEventFilter(this);
        apply();
    }

    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::PaletteChange || event->type() == QEvent::StyleChange) apply();
        return false;
    }

private:
    void apply() {
        const QPalette& palette = button_.palette();
        const QPalette::ColorRole role = button_.foregroundRole();
        button_.setIcon(GlyphIcon(glyph_, palette.color(QPalette::Active, role), palette.color(QPalette::Disabled, role)));
    }

    QAbstractButton& button_;
    TGlyph glyph_;
};

}  // namespace

QIcon GlyphIcon(TGlyph glyph, const QColor& ink, const QColor& disabled_ink) {
    return QIcon(new TGlyphIconEngine(glyph, ink, disabled_ink));
}

void KeepGlyphIcon(QAbstractButton& button, TGlyph glyph) { new TGlyphKeeper(button, glyph); }

}  // namespace brenvale
