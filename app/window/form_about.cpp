#include "app/window/form_about.h"

#include <QDesktopServices>
#include <QFrame>
#include <QIcon>
#include <QLabel>
#include <QMouseEvent>
#include <QPushButton>
#include <QUrl>

#include <functional>

#include "app/window/maker_links.h"
#include "app/window/product_version.h"

namespace brenvale {
namespace {

// An underlined label that runs its command when clicked; styled by the skins as a link.
class TLinkLabel final : public QLabel {
public:
    TLinkLabel(const QString& text, QWidget* parent, std::function<void()> command)
        : QLabel(text, parent), command_(std::move(command)) {
        QFont underlined = font();
        underlined.setUnderline(true);
        setFont(underlined);
        setCursor(Qt::PointingHandCursor);
        setProperty("link", true);
    }

protected:
    void mouseReleaseEvent(QMouseEvent* event) override {
        if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint())) command_();
    }

private:
    std::function<void()> command_;
};

void Separator(QWidget* parent, int top) {
    auto* line = new QFrame(parent);
    line->setFrameShape(QFrame::HLine);
    line->setFrameShadow(QFrame::Sunken);
    line->setGeometry(16, top, 338, 2);
}

}  // namespace

TFormAbout::TFormAbout(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::WindowStaysOnTopHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint) {
    setObjectName(QStringLiteral("FormAbout"));
    setWindowTitle(QStringLiteral("About"));
    setFixedSize(370, 268);
    auto* icon = new QLabel(this);
    icon->setObjectName(QStringLiteral("Image1"));
    icon->setPixmap(QIcon(QStringLiteral(":/brenvale/brenvale.svg")).pixmap(32, 32));
    icon->setGeometry(24, 24, 32, 32);
    auto* product = new QLabel(ProductNameAndVersion(), this);
    product->setObjectName(QStringLiteral("Label1"));
    QFont bold = product->font();
    bold.setBold(true);
    bold.setPointSizeF(bold.pointSizeF() * 1.4);
    product->setFont(bold);
    product->setGeometry(72, 24, 280, 32);
    Separator(this, 76);
    auto* website = new TLinkLabel(QStringLiteral("Visit Merrowin Website"), this, [this] { Label6Click(); });
    website->setObjectName(QStringLiteral("Label6"));
    website->setGeometry(72, 100, 240, 24);
    auto* support = new TLinkLabel(QStringLiteral("Contact Support Department"), this, [this] { Label2Click(); });
    support->setObjectName(QStringLiteral("Label2"));
    support->setGeometry(72, 136, 240, 24);
    Separator(this, 184);
    auto* ok = new QPushButton(QStringLiteral("OK"), this);
    ok->setObjectName(QStringLiteral("SpeedButton1"));
    ok->setGeometry(270, 220, 84, 30);
    connect(ok, &QPushButton::clicked, this, &TFormAbout::SpeedButton1Click);
}

void TFormAbout::Label6Click() { QDesktopServices::openUrl(QUrl(kMakerWebsite)); }

void TFormAbout::Label2Click() { QDesktopServices::openUrl(QUrl(kSupportMail)); }

}  // namespace brenvale
