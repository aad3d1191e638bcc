// How the windows look in every built-in skin, measured on what is drawn: every text fits its
// control, controls keep their distance, drop-down lists show their arrow, a ticked row shows
// its tick when selected, and the buttons' pictures stand out from the buttons.
#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QGroupBox>
#include <QHeaderView>
#include <QImage>
#include <QLabel>
#include <QListWidget>
#include <QStyle>
#include <QStyleOptionComboBox>
#include <QStyleOptionHeader>
#include <QToolButton>

#include <algorithm>
#include <functional>

#include "app/catalogue/format_catalogue.h"
#include "app/window/form4.h"
#include "app/window/form_about.h"
#include "app/window/form_log.h"
#include "app/window/form_skin.h"
#include "app/window/secondary_windows.h"
#include "app/window/skins.h"
#include "colour_contrast.h"
#include "tools/clip_catalogue.h"
#include "window_fixture.h"

namespace brenvale::testing {
namespace {

namespace clips = mediagen::clips;

std::string Describe(const QString& skin, const QWidget* widget, const QString& text = {}) {
    return (skin + " " + widget->objectName() + " " + widget->metaObject()->className() + " \"" + text + "\"")
        .toStdString();
}

// The largest contrast between any pixel of `area` and the colour at `background`.
double InkContrast(const QImage& picture, const QRect& area, QPoint background) {
    const QColor paper = picture.pixelColor(background);
    double most = 1.0;
    const QRect inside = area.intersected(picture.rect());
    for (int y = inside.top(); y <= inside.bottom(); ++y)
        for (int x = inside.left(); x <= inside.right(); ++x) most = std::max(most, Contrast(picture.pixelColor(x, y), paper));
    return most;
}

// The largest contrast between two pictures of the same place, pixel by pixel: what a change shows.
double ChangeContrast(const QImage& before, const QImage& after) {
    double most = 1.0;
    for (int y = 0; y < std::min(before.height(), after.height()); ++y)
        for (int x = 0; x < std::min(before.width(), after.width()); ++x)
            most = std::max(most, Contrast(before.pixelColor(x, y), after.pixelColor(x, y)));
    return most;
}

QImage Picture(QWidget* widget) { return widget->grab().toImage().convertToFormat(QImage::Format_RGB32); }

// Visible and not entirely cut off by its parents (controls kept outside a group's visible part).
bool Shown(const QWidget* widget, const QWidget* window) {
    if (!widget->isVisibleTo(window)) return false;
    QRect place(QPoint(0, 0), widget->size());
    for (const QWidget* ancestor = widget; ancestor != window; ancestor = ancestor->parentWidget()) {
        place = place.translated(ancestor->pos()).intersected(ancestor->parentWidget()->rect());
        if (place.isEmpty()) return false;
    }
    return true;
}

class LooksTest : public WindowTest {
protected:
    void StartProgram() {
        form_ = std::make_unique<TForm1>(QString(), dialogs_);
        ASSERT_TRUE(form_->Started());
        windows_ = CreateSecondaryWindows(Form());
        Form().show();
        for (QWidget* window : Windows()) window->show();
        QCoreApplication::processEvents();
    }
    std::vector<QWidget*> Windows() {
        return {&Form(), windows_.FormSkin, windows_.FormAbout, windows_.Form4, windows_.FormLog};
    }
    void ForEverySkin(const std::function<void(const QString& skin)>& check) {
        for (const QString& skin : TSkinManager::BuiltInSkins()) {
            Form().Skins().SetSkinName(skin);
            QCoreApplication::processEvents();
            check(skin);
        }
    }

    TSecondaryWindows windows_;
};

void ExpectLabelFits(const QString& skin, const QLabel* label) {
    if (label->text().isEmpty() || label->wordWrap()) return;
    // A caption's trailing blank shows nothing and may be cut.
    const QString text = label->text().trimmed();
    const QFontMetrics metrics = label->fontMetrics();
    const QRect room = label->contentsRect();
    EXPECT_LE(metrics.horizontalAdvance(text) + 2 * label->margin(), room.width()) << Describe(skin, label, text);
    EXPECT_LE(metrics.height(), room.height()) << Describe(skin, label, text);
}

void ExpectButtonFits(const QString& skin, const QAbstractButton* button) {
    if (button->text().isEmpty()) return;
    EXPECT_LE(button->sizeHint().width(), button->width()) << Describe(skin, button, button->text());
    EXPECT_LE(button->sizeHint().height(), button->height()) << Describe(skin, button, button->text());
}

void ExpectItemsFit(const QString& skin, const QComboBox* combo) {
    QStyleOptionComboBox option;
    option.initFrom(combo);
    option.frame = combo->hasFrame();
    option.subControls = QStyle::SC_All;
    const QRect field = combo->style()->subControlRect(QStyle::CC_ComboBox, &option, QStyle::SC_ComboBoxEditField, combo);
    for (int item = 0; item < combo->count(); ++item) {
        const QString text = combo->itemText(item).trimmed();
        EXPECT_LE(combo->fontMetrics().horizontalAdvance(text), field.width()) << Describe(skin, combo, text);
    }
}

void ExpectHeadersFit(const QString& skin, const QHeaderView* header) {
    for (int section = 0; section < header->count(); ++section) {
        if (header->isSectionHidden(section)) continue;
        QStyleOptionHeader option;
        option.initFrom(header);
        option.section = section;
        option.rect = QRect(0, 0, header->sectionSize(section), header->height());
        const QString text = header->model()->headerData(section, header->orientation()).toString();
        const QRect room = header->style()->subElementRect(QStyle::SE_HeaderLabel, &option, header);
        EXPECT_LE(header->fontMetrics().horizontalAdvance(text), room.width()) << Describe(skin, header, text);
    }
}

void ExpectListItemsFit(const QString& skin, const QListWidget* list) {
    for (int row = 0; row < list->count(); ++row) {
        const QString text = list->item(row)->text();
        EXPECT_LE(list->visualItemRect(list->item(row)).left() + list->fontMetrics().horizontalAdvance(text),
                  list->viewport()->width())
            << Describe(skin, list, text);
    }
}

void ExpectTextsFit(const QString& skin, QWidget* window) {
    for (QWidget* widget : window->findChildren<QWidget*>()) {
        if (!Shown(widget, window)) continue;
        if (const auto* label = qobject_cast<QLabel*>(widget)) ExpectLabelFits(skin, label);
        if (const auto* button = qobject_cast<QAbstractButton*>(widget)) ExpectButtonFits(skin, button);
        if (const auto* combo = qobject_cast<QComboBox*>(widget)) ExpectItemsFit(skin, combo);
        if (const auto* header = qobject_cast<QHeaderView*>(widget)) ExpectHeadersFit(skin, header);
        if (const auto* list = qobject_cast<QListWidget*>(widget)) ExpectListItemsFit(skin, list);
        if (const auto* group = qobject_cast<QGroupBox*>(widget)) {
            EXPECT_LE(group->fontMetrics().horizontalAdvance(group->title()) + 16, group->width())
                << Describe(skin, group, group->title());
        }
    }
}

// Controls side by side keep a gap, so that no caption touches its field.
void ExpectControlsApart(QWidget* window) {
    constexpr int kLeastGap = 3;
    for (QWidget* parent : window->findChildren<QWidget*>()) {
        QList<QWidget*> controls;
        for (QWidget* child : parent->findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly))
            if (Shown(child, window) && !child->isWindow()) controls << child;
        for (const QWidget* a : controls)
            for (const QWidget* b : controls) {
                if (a == b || a->geometry().left() > b->geometry().left()) continue;
                const QRect first = a->geometry();
                const QRect second = b->geometry();
                const bool same_line = first.top() <= second.bottom() && second.top() <= first.bottom();
                if (same_line && first.right() >= second.left() - kLeastGap && second.right() > first.right()) {
                    ADD_FAILURE() << Describe("", a) << " and " << Describe("", b) << " touch in " << Describe("", window);
                }
            }
    }
}

TEST_F(LooksTest, EveryTextFitsAndNoControlTouchesAnotherInAnySkin) {
    StartProgram();
    AddClips({clips::kMp4H264Aac});
    ForEverySkin([this](const QString& skin) {
        for (QWidget* window : Windows()) ExpectTextsFit(skin, window);
        for (int format = 0; format < Find<QComboBox>("ComboOutputFormat")->count(); ++format) {
            ChooseFormat(format);
            for (QComboBox* combo : Form().findChildren<QComboBox*>())
                if (Shown(combo, &Form())) ExpectItemsFit(skin, combo);
        }
    });
    for (QWidget* window : Windows()) ExpectControlsApart(window);
}

TEST_F(LooksTest, DropDownListsShowTheirArrowEnabledAndDisabled) {
    StartProgram();
    ForEverySkin([this](const QString& skin) {
        for (const bool enabled : {true, false}) {
            auto* combo = Find<QComboBox>("ComboAudioCodec");
            combo->setEnabled(enabled);
            QStyleOptionComboBox option;
            option.initFrom(combo);
            option.frame = true;
            option.subControls = QStyle::SC_All;
            const QRect arrow = combo->style()->subControlRect(QStyle::CC_ComboBox, &option, QStyle::SC_ComboBoxArrow, combo);
            const QImage picture = Picture(combo);
            // The field's own colour, just left of the arrow and clear of the text.
            const QPoint field(arrow.left() - 2, picture.height() / 2);
            EXPECT_GE(InkContrast(picture, arrow, field), enabled ? 3.0 : 2.0)
                << Describe(skin, combo) << (enabled ? " enabled" : " disabled");
            combo->setEnabled(true);
        }
    });
}

TEST_F(LooksTest, TheTickOfACheckedRowShowsWhetherTheRowIsSelectedOrNot) {
    StartProgram();
    AddClips({clips::kMp4H264Aac, clips::kAviMpeg4Mp3});
    TListView& list = List();
    ForEverySkin([&](const QString& skin) {
        for (const int row : {0, 1}) {
            list.selectRow(0);  // row 0 selected, row 1 not
            QCoreApplication::processEvents();
            const QRect place = list.visualRect(list.model()->index(row, 0));
            list.SetChecked(row, false);
            const QImage unticked = Picture(list.viewport()).copy(place);
            list.SetChecked(row, true);
            const QImage ticked = Picture(list.viewport()).copy(place);
            EXPECT_GE(ChangeContrast(unticked, ticked), 3.0) << skin.toStdString() << " row " << row;
        }
    });
}

TEST_F(LooksTest, ButtonPicturesStandOutFromTheirButtons) {
    StartProgram();
    const char* buttons[] = {"ButtonAddFile", "ButtonRemove", "ButtonClear", "ButtonStopConvert", "ButtonConvert",
                             "ButtonBrowseForFolder", "ButtonPlay", "ButtonPause", "ButtonStopPlay", "ButtonVolume",
                             "ButtonSnapshot"};
    ForEverySkin([&](const QString& skin) {
        for (const char* name : buttons) {
            auto* button = Find<QToolButton>(name);
            const QImage with_picture = Picture(button);
            const QIcon picture = button->icon();
            button->setIcon(QIcon());
            const QImage without_picture = Picture(button);
            button->setIcon(picture);
            EXPECT_GE(ChangeContrast(without_picture, with_picture), 3.0) << Describe(skin, button);
        }
    });
}

}  // namespace
}  // namespace brenvale::testing
