// TFormAbout: the product name and version, the icon and the maker's web site and support links.
// Window thread only.
#pragma once

#include <QDialog>

namespace brenvale {

class TFormAbout : public QDialog {
    Q_OBJECT

public:
    explicit TFormAbout(QWidget* parent);

    void Label6Click();
    void Label2Click();
    void SpeedButton1Click() { accept(); }
};

}  // namespace brenvale
