// TForm4, the Additional Options window: the overwrite rule for output files, how many
// conversions run at once and the number of lines the output-format list shows. It edits the main window's TGeneralOptions and follows
// them when they change elsewhere (the settings load). Window thread only.
#pragma once

#include <QDialog>
#include <QSpinBox>

class QCheckBox;
class QPushButton;

namespace brenvale {

class TGeneralOptions;

// The drop-down count field: a text that is no number reads as the lowest count, a number
// outside the range as its nearest bound.
class TDropDownItemsEdit : public QSpinBox {
public:
    explicit TDropDownItemsEdit(QWidget* parent);

protected:
    void fixup(QString& input) const override;
};

class TForm4 : public QDialog {
    Q_OBJECT

public:
    TForm4(TGeneralOptions& options, QWidget* parent);

    void SpinEdit1Change(int value);
    void SpinEditSimultaneousChange(int value);
    void Button1Click() { close(); }

private:
    void show_options();

    TGeneralOptions& options_;
    QCheckBox* CheckBoxOverWrite = nullptr;
    TDropDownItemsEdit* SpinEdit1 = nullptr;
    QSpinBox* SpinEditSimultaneous = nullptr;
    QPushButton* Button1 = nullptr;
};

}  // namespace brenvale
