#include "app/preview_form.h"

#include <QCloseEvent>
#include <QGuiApplication>
#include <QMouseEvent>
#include <QPainter>
#include <QScreen>
#include <QWindow>
#include <utility>

#include "common/bitmap.h"

namespace brenvale {
namespace {

// A tool window above the others whose only border icon is the close button of the system menu.
constexpr Qt::WindowFlags kPreviewFlags = Qt::Tool | Qt::WindowStaysOnTopHint | Qt::CustomizeWindowHint |
                                          Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint;

}  // namespace

TPreviewForm::TPreviewForm(int width, int height, std::function<void()> on_close)
    : QWidget(nullptr, kPreviewFlags), on_close_(std::move(on_close)) {
    setObjectName("PreviewForm");
    setAttribute(Qt::WA_OpaquePaintEvent);
    setAttribute(Qt::WA_QuitOnClose, false);  // closing the preview never ends the application
    resize(width, height);
    centre_on_screen();
}

void TPreviewForm::ShowBitmap(const TBitmap& bitmap) {
    const QImage view(bitmap.ScanLine(0), bitmap.Width(), bitmap.Height(), bitmap.Stride(), QImage::Format_BGR888);
    picture_ = view.copy();
    update();
}

void TPreviewForm::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(rect(), Qt::black);
    painter.drawImage(QPoint(0, 0), picture_);
}

void TPreviewForm::closeEvent(QCloseEvent* event) {
    if (on_close_) on_close_();
    event->accept();
}

// Dragging by any point: the window system moves the window when it can, otherwise the window follows the cursor.
void TPreviewForm::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) return QWidget::mousePressEvent(event);
    event->accept();
    if (windowHandle() && windowHandle()->startSystemMove()) return;
    dragging_ = true;
    drag_offset_ = event->globalPosition().toPoint() - pos();
}

void TPreviewForm::mouseMoveEvent(QMouseEvent* event) {
    if (!dragging_) return QWidget::mouseMoveEvent(event);
    event->accept();
    move(event->globalPosition().toPoint() - drag_offset_);
}

void TPreviewForm::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton || !dragging_) return QWidget::mouseReleaseEvent(event);
    event->accept();
    dragging_ = false;
}

void TPreviewForm::centre_on_screen() {
    const QScreen* screen = QGuiApplication::primaryScreen();
    if (!screen) return;
    QRect frame = frameGeometry();
    frame.moveCenter(screen->availableGeometry().center());
    move(frame.topLeft());
}

}  // namespace brenvale
