// TFormSkin, the Choose Skin window: the ten built-in skins under their display names, then the
// skins of the skin folder. A choice applies at once; Cancel brings back the skin the window
// was shown with. Window thread only.
#pragma once

#include <QDialog>
#include <QStringList>

class QListWidget;
class QPushButton;

namespace brenvale {

class TSkinManager;

class TFormSkin : public QDialog {
    Q_OBJECT

public:
    // The display names of the built-in skins, in the built-in skins' order.
    static const QStringList& DisplayNames();

    TFormSkin(TSkinManager& skins, QWidget* parent);

    void sListBox1Click();
    void sSpeedButton1Click() { accept(); }
    void sSpeedButton2Click();
    const QString& SkinBeforeShow() const { return skin_before_show_; }

protected:
    void showEvent(QShowEvent* event) override;

private:
    void FormShow();
    void fill_lists(const QStringList& names);
    void select_active_skin();

    TSkinManager& skins_;
    QString skin_before_show_;
    QListWidget* sListBox1 = nullptr;  // the skin names, at the positions of the visible list
    QListWidget* sListBox2 = nullptr;
    QPushButton* sSpeedButton1 = nullptr;
    QPushButton* sSpeedButton2 = nullptr;
};

}  // namespace brenvale
