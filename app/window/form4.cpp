#include "app/window/form4.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QSignalBlocker>

#include <algorithm>

#include "app/window/general_options.h"

namespace brenvale {

TDropDownItemsEdit::TDropDownItemsEdit(QWidget* parent) : QSpinBox(parent) {
    setRange(TGeneralOptions::kMinDropDownItems, TGeneralOptions::kMaxDropDownItems);
    setValue(TGeneralOptions::kDefaultDropDownItems);
}

void TDropDownItemsEdit::fixup(QString& input) const {
    bool number = false;
    const int value = input.trimmed().toInt(&number);
    input = QString::number(number ? std::clamp(value, minimum(), maximum()) : minimum());
}

TForm4::TForm4(TGeneralOptions& options, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::WindowStaysOnTopHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint),
      options_(options) {
    setObjectName(QStringLiteral("Form4"));
    setWindowTitle(QStringLiteral("Additional Options"));
    setFixedSize(318, 198);
    auto* group = new QGroupBox(QStringLiteral(" Additional Options "), this);
    group->setGeometry(6, 8, 306, 144);
    CheckBoxOverWrite = new QCheckBox(QStringLiteral("Overwrite Existing File With The Same Name"), group);
    CheckBoxOverWrite->setObjectName(QStringLiteral("CheckBoxOverWrite"));
    CheckBoxOverWrite->setGeometry(8, 28, 296, 24);
    auto* simultaneous = new QLabel(QStringLiteral("Simultaneous conversions"), group);
    simultaneous->setGeometry(14, 64, 216, 24);
    SpinEditSimultaneous = new QSpinBox(group);
    SpinEditSimultaneous->setObjectName(QStringLiteral("SpinEditSimultaneous"));
    SpinEditSimultaneous->setGeometry(236, 64, 56, 24);
    SpinEditSimultaneous->setRange(1, TGeneralOptions::MaxSimultaneousConversions());
    simultaneous->setBuddy(SpinEditSimultaneous);
    SpinEditSimultaneous->setToolTip(
        QStringLiteral("How many files are converted at once: 1 converts one after another"));
    // Beyond the group's visible part: the count follows the settings and is not offered.
    auto* label = new QLabel(QStringLiteral(" Drop Down Items in Output Format List"), group);
    label->setGeometry(14, 170, 220, 24);
    SpinEdit1 = new TDropDownItemsEdit(group);
    SpinEdit1->setObjectName(QStringLiteral("SpinEdit1"));
    SpinEdit1->setGeometry(236, 170, 56, 24);
    Button1 = new QPushButton(QStringLiteral("Done"), this);
    Button1->setObjectName(QStringLiteral("Button1"));
    Button1->setGeometry(118, 162, 82, 28);
    show_options();
    connect(CheckBoxOverWrite, &QCheckBox::toggled, &options_, &TGeneralOptions::SetOverwrite);
    connect(SpinEdit1, &QSpinBox::valueChanged, this, &TForm4::SpinEdit1Change);
    connect(SpinEditSimultaneous, &QSpinBox::valueChanged, this, &TForm4::SpinEditSimultaneousChange);
    connect(Button1, &QPushButton::clicked, this, &TForm4::Button1Click);
    connect(&options_, &TGeneralOptions::OverwriteChanged, this, &TForm4::show_options);
    connect(&options_, &TGeneralOptions::DropDownItemsChanged, this, &TForm4::show_options);
    connect(&options_, &TGeneralOptions::SimultaneousConversionsChanged, this, &TForm4::show_options);
}

void TForm4::SpinEdit1Change(int value) { options_.SetDropDownItems(value); }

void TForm4::SpinEditSimultaneousChange(int value) { options_.SetSimultaneousConversions(value); }

void TForm4::show_options() {
    const QSignalBlocker quiet_box(CheckBoxOverWrite);
    const QSignalBlocker quiet_spin(SpinEdit1);
    const QSignalBlocker quiet_simultaneous(SpinEditSimultaneous);
    CheckBoxOverWrite->setChecked(options_.Overwrite());
    SpinEdit1->setValue(options_.DropDownItems());
    SpinEditSimultaneous->setValue(options_.SimultaneousConversions());
}

}  // namespace brenvale
