#include "app/window/play_panel.h"

#include <QLabel>
#include <QLinearGradient>
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
    showing_preview_ = true;
    Image1->hide();
    update();
}

void TPlayPanel::ShowPlaceholder() {
    showing_preview_ = false;
    Image1->show();
    update();
}

void TPlayPanel::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    if (showing_preview_)
        painter.drawImage(rect(), preview_);
    else
        painter.fillRect(rect(), Qt::black);
}

void TPlayPanel::resizeEvent(QResizeEvent*) {
    Image1->setGeometry(rect());
    Image1->setPixmap(PlaceholderPicture(size()));
}

}  // namespace brenvale
