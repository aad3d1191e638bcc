#include "app/window/play_panel.h"

#include <QLabel>
#include <QLinearGradient>
#include <QMetaObject>
#include <QPainter>

#include "common/bitmap.h"

namespace brenvale {
namespace {

QPixmap PlaceholderPicture(QSize size) {
    QPixmap picture(size);
    QPainter painter(&picture);
    QLinearGradient shade(0, 0, 0, size.height());
    shade.setColorAt(0, QColor(40, 48, 64));
    shade.setColorAt(1, Qt::black);
    painter.fillRect(picture.rect(), shade);
    painter.setPen(QColor(150, 160, 180));
    QFont font = painter.font();
    font.setPointSize(14);
    font.setBold(true);
    painter.setFont(font);
    painter.drawText(picture.rect(), Qt::AlignCenter, QStringLiteral("Brenvale"));
    return picture;
}

}  // namespace

TPlayPanel::TPlayPanel(QWidget* parent) : QWidget(parent), Image1(new QLabel(this)) {
    setObjectName(QStringLiteral("sPanelPlay"));
    setAttribute(Qt::WA_OpaquePaintEvent);
    Image1->setObjectName(QStringLiteral("Image1"));
    Image1->setScaledContents(true);
}

void TPlayPanel::ShowPreview(const TBitmap& bitmap) {
    if (bitmap.Empty()) return;
    const QImage view(bitmap.ScanLine(0), bitmap.Width(), bitmap.Height(), bitmap.Stride(), QImage::Format_BGR888);
    preview_ = view.copy();
    set_mode(TMode::Preview);
}

void TPlayPanel::ShowPlaceholder() { set_mode(TMode::Placeholder); }

void TPlayPanel::ShowPlayback() {
    {
        const std::lock_guard<std::mutex> lock(frame_lock_);
        frame_ = QImage();  // no picture of an earlier file in between
    }
    set_mode(TMode::Playback);
}

QImage TPlayPanel::LastPlayback() const {
    const std::lock_guard<std::mutex> lock(frame_lock_);
    return frame_;
}

void TPlayPanel::set_mode(TMode mode) {
    mode_ = mode;
    Image1->setVisible(mode == TMode::Placeholder);
    update();
}

void TPlayPanel::Present(const std::uint8_t* pixels, int width, int height, int pitch) {
    const QImage view(pixels, width, height, pitch, QImage::Format_RGB32);
    {
        const std::lock_guard<std::mutex> lock(frame_lock_);
        frame_ = view.copy();
    }
    QMetaObject::invokeMethod(this, qOverload<>(&QWidget::update), Qt::QueuedConnection);
}

void TPlayPanel::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(rect(), Qt::black);
    if (mode_ == TMode::Preview) {
        painter.drawImage(rect(), preview_);
    } else if (mode_ == TMode::Playback) {
        const std::lock_guard<std::mutex> lock(frame_lock_);
        if (!frame_.isNull()) painter.drawImage(rect(), frame_);
    }
}

void TPlayPanel::resizeEvent(QResizeEvent*) {
    Image1->setGeometry(rect());
    Image1->setPixmap(PlaceholderPicture(size()));
}

}  // namespace brenvale
