#include "app/window/form_skin.h"

#include <QListWidget>
#include <QPushButton>
#include <QSignalBlocker>

#include "app/window/skins.h"

namespace brenvale {

const QStringList& TFormSkin::DisplayNames() {
    static const QStringList names = {
        QStringLiteral("Acrylic"), QStringLiteral("Dark Glass"),       QStringLiteral("Elegant Blue"),
        QStringLiteral("Golden"),  QStringLiteral("Grey"),             QStringLiteral("Mac OS2"),
        QStringLiteral("Office 2007 Blue"), QStringLiteral("Opus"),    QStringLiteral("Sport"),
        QStringLiteral("Vista"),
    };
    return names;
}

TFormSkin::TFormSkin(TSkinManager& skins, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint),
      skins_(skins) {
    setObjectName(QStringLiteral("FormSkin"));
    setWindowTitle(QStringLiteral("Choose Skin"));
    setFixedSize(187, 224);
    sListBox2 = new QListWidget(this);
    sListBox2->setObjectName(QStringLiteral("sListBox2"));
    sListBox2->setGeometry(8, 8, 171, 172);
    sListBox1 = new QListWidget(this);
    sListBox1->setObjectName(QStringLiteral("sListBox1"));
    sListBox1->setGeometry(200, 8, 120, 172);  // outside the client area
    sListBox1->hide();
    sSpeedButton1 = new QPushButton(QStringLiteral("OK"), this);
    sSpeedButton1->setObjectName(QStringLiteral("sSpeedButton1"));
    sSpeedButton1->setGeometry(8, 188, 80, 28);
    sSpeedButton2 = new QPushButton(QStringLiteral("Cancel"), this);
    sSpeedButton2->setObjectName(QStringLiteral("sSpeedButton2"));
    sSpeedButton2->setGeometry(99, 188, 80, 28);
    // After the selection changed: a mouse click makes the row current before it selects it.
    connect(sListBox2, &QListWidget::itemSelectionChanged, this, &TFormSkin::sListBox1Click);
    connect(sSpeedButton1, &QPushButton::clicked, this, &TFormSkin::sSpeedButton1Click);
    connect(sSpeedButton2, &QPushButton::clicked, this, &TFormSkin::sSpeedButton2Click);
}

void TFormSkin::showEvent(QShowEvent* event) {
    FormShow();
    QDialog::showEvent(event);
}

void TFormSkin::FormShow() {
    skin_before_show_ = skins_.SkinName();
    fill_lists(skins_.SkinNames());
    select_active_skin();
}

// The built-in skins stand at the positions of their display names; the folder's skins follow
// under their own names, in sorted order, so every line selects the skin it names.
void TFormSkin::fill_lists(const QStringList& names) {
    const QSignalBlocker quiet_names(sListBox1);
    const QSignalBlocker quiet_display(sListBox2);
    sListBox1->clear();
    sListBox2->clear();
    sListBox1->addItems(TSkinManager::BuiltInSkins());
    sListBox2->addItems(DisplayNames());
    for (const QString& name : names) {
        if (TSkinManager::BuiltInSkins().contains(name)) continue;
        sListBox1->addItem(name);
        sListBox2->addItem(name);
    }
}

// Marks the line of the skin whose look the windows have.
void TFormSkin::select_active_skin() {
    const QSignalBlocker quiet_names(sListBox1);
    const QSignalBlocker quiet_display(sListBox2);
    const QList<QListWidgetItem*> active = sListBox1->findItems(skins_.ShownSkin(skins_.SkinName()), Qt::MatchExactly);
    const int row = active.isEmpty() ? -1 : sListBox1->row(active.first());
    sListBox1->setCurrentRow(row);
    sListBox2->setCurrentRow(row);
}

// The selected line, not the current one: arrow keys select a line before it becomes current.
void TFormSkin::sListBox1Click() {
    const QList<QListWidgetItem*> selected = sListBox2->selectedItems();
    const int row = selected.isEmpty() ? -1 : sListBox2->row(selected.first());
    if (row < 0 || row >= sListBox1->count()) return;
    skins_.SetSkinName(sListBox1->item(row)->text());
}

void TFormSkin::sSpeedButton2Click() {
    skins_.SetSkinName(skin_before_show_);
    reject();
}

}  // namespace brenvale
