// The settings of the Additional Options window: the overwrite rule for output files, the
// number of lines the output-format list shows and how many conversions run at once. Window
// thread only.
#pragma once

#include <QObject>

namespace brenvale {

class TGeneralOptions : public QObject {
    Q_OBJECT

public:
    static constexpr int kMinDropDownItems = 26;
    static constexpr int kMaxDropDownItems = 47;
    static constexpr int kDefaultDropDownItems = 27;

    using QObject::QObject;

    bool Overwrite() const { return overwrite_; }
    void SetOverwrite(bool overwrite);
    int DropDownItems() const { return drop_down_items_; }
    // Values outside 26..47 are brought to the nearest bound.
    void SetDropDownItems(int items);
    int SimultaneousConversions() const { return simultaneous_conversions_; }
    // From 1 (one file after another) to the number of cores; values outside are brought to
    // the nearest bound.
    void SetSimultaneousConversions(int conversions);
    static int MaxSimultaneousConversions();

signals:
    void OverwriteChanged(bool overwrite);
    void DropDownItemsChanged(int items);
    void SimultaneousConversionsChanged(int conversions);

private:
    bool overwrite_ = false;
    int drop_down_items_ = kDefaultDropDownItems;
    int simultaneous_conversions_ = 1;
};

}  // namespace brenvale
