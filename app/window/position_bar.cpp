#include "app/window/position_bar.h"

#include <QEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QSlider>
#include <QStyle>
#include <QStyleOptionSlider>

#include <algorithm>

namespace brenvale {
namespace {

constexpr int kGap = 4;
constexpr int kStepMs = 5000;
constexpr int kPageMs = 30000;

// A click on the groove puts the handle there (and the drag goes on from there), instead of
// stepping a page towards it.
class TSeekSlider : public QSlider {
public:
    explicit TSeekSlider(QWidget* parent) : QSlider(Qt::Horizontal, parent) {}

protected:
    void mousePressEvent(QMouseEvent* event) override {
        if (event->button() == Qt::LeftButton && !handle_rect().contains(event->position().toPoint()))
            setSliderPosition(value_at(event->position().toPoint().x()));
        QSlider::mousePressEvent(event);
    }

private:
    QStyleOptionSlider options() const {
        QStyleOptionSlider option;
        initStyleOption(&option);
        return option;
    }
    QRect handle_rect() const {
        const QStyleOptionSlider option = options();
        return style()->subControlRect(QStyle::CC_Slider, &option, QStyle::SC_SliderHandle, this);
    }
    // The value whose handle would be centred on `x`.
    int value_at(int x) const {
        const QStyleOptionSlider option = options();
        const QRect groove = style()->subControlRect(QStyle::CC_Slider, &option, QStyle::SC_SliderGroove, this);
        const int handle = handle_rect().width();
        const int span = std::max(groove.width() - handle, 1);
        return QStyle::sliderValueFromPosition(minimum(), maximum(), x - groove.x() - handle / 2, span);
    }
};

QString Clock(std::int64_t seconds, bool hours) {
    const auto part = [](std::int64_t value) { return QStringLiteral("%1").arg(value, 2, 10, QLatin1Char('0')); };
    if (hours) return QStringLiteral("%1:%2:%3").arg(seconds / 3600).arg(part(seconds / 60 % 60), part(seconds % 60));
    return QStringLiteral("%1:%2").arg(seconds / 60).arg(part(seconds % 60));
}

}  // namespace

QString PlayTimeText(std::int64_t position_us, std::int64_t duration_us) {
    const std::int64_t position = std::max<std::int64_t>(position_us, 0) / 1000000;
    if (duration_us < 0) return Clock(position, position >= 3600);
    const std::int64_t duration = duration_us / 1000000;
    const bool hours = duration >= 3600;
    return Clock(std::min(position, duration), hours) + QStringLiteral(" / ") + Clock(duration, hours);
}

TPositionBar::TPositionBar(QWidget* parent)
    : QWidget(parent), TrackBarPosition(new TSeekSlider(this)), LabelPosition(new QLabel(this)) {
    setObjectName(QStringLiteral("PositionBar"));
    TrackBarPosition->setObjectName(QStringLiteral("TrackBarPosition"));
    TrackBarPosition->setSingleStep(kStepMs);
    TrackBarPosition->setPageStep(kPageMs);
    TrackBarPosition->setToolTip(QStringLiteral("Position"));
    LabelPosition->setObjectName(QStringLiteral("LabelPosition"));
    LabelPosition->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    connect(TrackBarPosition, &QSlider::sliderMoved, this, [this](int value_ms) { show_time(value_ms * 1000LL); });
    connect(TrackBarPosition, &QSlider::sliderReleased, this, &TPositionBar::seek_to_slider);
    connect(TrackBarPosition, &QSlider::actionTriggered, this, &TPositionBar::slider_action);
    Clear();
}

void TPositionBar::Start(std::int64_t duration_us) {
    duration_us_ = duration_us;
    TrackBarPosition->setRange(0, static_cast<int>(std::max<std::int64_t>(duration_us, 0) / 1000));
    TrackBarPosition->setValue(0);
    TrackBarPosition->setEnabled(Seekable());
    LabelPosition->setEnabled(true);
    show_time(0);
    place_controls();
}

void TPositionBar::SetPosition(std::int64_t position_us) {
    if (TrackBarPosition->isSliderDown()) return;
    if (Seekable()) TrackBarPosition->setValue(static_cast<int>(position_us / 1000));
    show_time(position_us);
}

void TPositionBar::Clear() {
    duration_us_ = 0;
    TrackBarPosition->setRange(0, 0);
    TrackBarPosition->setEnabled(false);
    LabelPosition->setEnabled(false);
    show_time(0);
    place_controls();
}

bool TPositionBar::Seekable() const { return duration_us_ > 0; }

void TPositionBar::show_time(std::int64_t position_us) {
    LabelPosition->setText(PlayTimeText(position_us, duration_us_));
}

// The time text takes the width its longest form needs in the current font; the slider the rest.
void TPositionBar::place_controls() {
    LabelPosition->ensurePolished();
    const int text_width =
        LabelPosition->fontMetrics().horizontalAdvance(PlayTimeText(duration_us_, duration_us_)) + 2;
    const int label_width = std::min(text_width, width() / 2);
    LabelPosition->setGeometry(width() - label_width, 0, label_width, height());
    TrackBarPosition->setGeometry(0, 0, std::max(width() - label_width - kGap, 0), height());
}

void TPositionBar::seek_to_slider() {
    if (Seekable()) emit SeekRequested(TrackBarPosition->sliderPosition() * 1000LL);
}

// Keys and clicks that move the slider without a drag seek at once; a drag seeks on release.
void TPositionBar::slider_action(int action) {
    if (action == QAbstractSlider::SliderMove || TrackBarPosition->isSliderDown()) return;
    show_time(TrackBarPosition->sliderPosition() * 1000LL);
    seek_to_slider();
}

void TPositionBar::resizeEvent(QResizeEvent*) { place_controls(); }

// A skin may change the font, and with it the width the time text needs.
void TPositionBar::changeEvent(QEvent* event) {
    QWidget::changeEvent(event);
    if (event->type() == QEvent::StyleChange || event->type() == QEvent::FontChange) place_controls();
}

}  // namespace brenvale
