// The controls of the main window. The list takes whatever room the window gives beyond its
// smallest size, 763 x 564; the settings and the playback panel form one block of fixed size at
// the bottom left, above the progress bar; the command buttons stay at the top left.
#include <QComboBox>
#include <QFrame>
#include <QGroupBox>
#include <QLabel>
#include <QEvent>
#include <QLineEdit>
#include <QMenuBar>
#include <QProgressBar>
#include <QSlider>
#include <QStatusBar>
#include <QTimer>
#include <QToolButton>

#include <algorithm>
#include <optional>

#include "app/window/form1.h"
#include "app/window/glyph_icons.h"
#include "app/window/play_panel.h"
#include "app/window/position_bar.h"

namespace brenvale {
namespace {

constexpr int kClientWidth = 763;
constexpr int kClientHeight = 564;
constexpr int kStatusBarHeight = 22;
constexpr int kMargin = 4;
constexpr int kListTop = 60;
// The settings block: the format and folder lines, the video and audio groups and the panel.
// Controls added to the settings go inside it; only its size here changes with them.
constexpr QSize kSettingsAreaSize(kClientWidth, 232);
constexpr int kProgressBarHeight = 18;
// The first start's window: room for every column of the list.
constexpr QSize kFirstClientSize(960, 600);
constexpr int kHintMs = 30000;
constexpr int kCommandButtonWidth = 112;  // "Convert Now !" with the skins' padding

QToolButton* CommandButton(QWidget* parent, const QString& name, const QString& caption, TGlyph glyph) {
    auto* button = new QToolButton(parent);
    button->setObjectName(name);
    button->setText(caption);
    KeepGlyphIcon(*button, glyph);
    button->setIconSize(QSize(24, 24));
    button->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    button->setAutoRaise(true);  // flat
    return button;
}

QComboBox* PickList(QWidget* parent, const QString& name) {
    auto* combo = new QComboBox(parent);
    combo->setObjectName(name);
    combo->setEditable(false);
    return combo;
}

QLabel* Caption(QWidget* parent, const QString& text, const QRect& place) {
    auto* label = new QLabel(text, parent);
    label->setGeometry(place);
    return label;
}

// The "label : control" lines of a settings group, `row` counted from the top: the labels take
// the width of the longest caption, the controls the rest of the group.
constexpr int kGroupMargin = 6;
constexpr int kLabelGap = 5;
constexpr int kLineHeight = 24;

int LineTop(int row) { return 22 + row * 29; }

QComboBox* SettingLine(QGroupBox* group, const QString& label, const QString& name, int row) {
    auto* caption = new QLabel(label, group);
    caption->setGeometry(kGroupMargin, LineTop(row), 0, kLineHeight);
    QComboBox* combo = PickList(group, name);
    combo->setGeometry(0, LineTop(row), 0, kLineHeight);
    return combo;
}

// A caption's trailing blank is part of its text but shows nothing, so it may be cut.
int CaptionWidth(const QLabel& label) { return label.fontMetrics().horizontalAdvance(label.text().trimmed()); }

// Gives every caption the width of the longest and every control the rest of its line.
void AlignSettingLines(QGroupBox* group) {
    int caption_width = 0;
    const QList<QLabel*> captions = group->findChildren<QLabel*>(QString(), Qt::FindDirectChildrenOnly);
    for (const QLabel* caption : captions) caption_width = std::max(caption_width, CaptionWidth(*caption));
    const int control_left = kGroupMargin + caption_width + kLabelGap;
    for (QWidget* child : group->findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly)) {
        QRect place = child->geometry();
        if (qobject_cast<QLabel*>(child) && child->objectName().isEmpty()) {
            place.setWidth(caption_width);
        } else if (place.left() < control_left) {
            place.setLeft(control_left);
            place.setRight(group->width() - kGroupMargin - 1);
        }
        child->setGeometry(place);
    }
}

// Room for the widest volume text, "200%".
int LabelVolumeWidth(const QWidget& group) { return group.fontMetrics().horizontalAdvance(QStringLiteral("200%")) + 2; }

}  // namespace

void TForm1::set_hint(QWidget* widget, const QString& hint) {
    widget->setToolTip(hint);
    widget->setToolTipDuration(kHintMs);
}

void TForm1::create_controls() {
    auto* client = new QWidget(this);
    client->setObjectName(QStringLiteral("ClientArea"));
    setCentralWidget(client);
    create_command_buttons();
    ListView1 = new TListView(client);
    SettingsArea = new QWidget(client);
    SettingsArea->setObjectName(QStringLiteral("SettingsArea"));
    SettingsArea->setFixedSize(kSettingsAreaSize);
    create_format_controls();
    create_video_group();
    create_audio_group();
    create_play_panel();
    ProgressBar1 = new QProgressBar(client);
    ProgressBar1->setObjectName(QStringLiteral("ProgressBar1"));
    ProgressBar1->setRange(0, 100);
    ProgressBar1->setValue(0);
    create_status_bar();
    TimerConvertAgain = new QTimer(this);
    TimerConvertAgain->setObjectName(QStringLiteral("TimerConvertAgain"));
    TimerConvertAgain->setInterval(100);
    client->setMinimumSize(kClientWidth, kClientHeight - kStatusBarHeight);
    client->installEventFilter(this);
    resize(kFirstClientSize.width(), kFirstClientSize.height() + menuBar()->sizeHint().height());
}

// The list between the command buttons and the settings block takes the room left.
void TForm1::place_controls() {
    const QSize client = centralWidget()->size();
    const int bar_top = client.height() - kMargin - kProgressBarHeight;
    const int settings_top = bar_top - kMargin - kSettingsAreaSize.height();
    ListView1->setGeometry(kMargin, kListTop, client.width() - 2 * kMargin, settings_top - kMargin - kListTop);
    SettingsArea->move(0, settings_top);
    ProgressBar1->setGeometry(kMargin, bar_top, client.width() - 2 * kMargin, kProgressBarHeight);
}

bool TForm1::eventFilter(QObject* watched, QEvent* event) {
    if (watched == centralWidget() && event->type() == QEvent::Resize) place_controls();
    return QMainWindow::eventFilter(watched, event);
}

void TForm1::create_command_buttons() {
    QWidget* client = centralWidget();
    ButtonAddFile = CommandButton(client, "ButtonAddFile", "Add Video ", TGlyph::AddFiles);
    ButtonRemove = CommandButton(client, "ButtonRemove", "Remove", TGlyph::Remove);
    ButtonClear = CommandButton(client, "ButtonClear", "Clear All ", TGlyph::Clear);
    ButtonStopConvert = CommandButton(client, "ButtonStopConvert", "Stop Convert", TGlyph::StopConvert);
    ButtonConvert = CommandButton(client, "ButtonConvert", "Convert Now !", TGlyph::Convert);
    set_hint(ButtonAddFile, "Add Files to Convert");
    set_hint(ButtonRemove, "Remove A Single File From List");
    set_hint(ButtonClear, "Clear All Files Listed");
    set_hint(ButtonStopConvert, "Stop Conversion");
    set_hint(ButtonConvert, "Start Conversion");
    int left = 4;
    for (QToolButton* button : {ButtonAddFile, ButtonRemove, ButtonClear, ButtonStopConvert, ButtonConvert}) {
        button->setGeometry(left, 4, kCommandButtonWidth, 52);
        left += kCommandButtonWidth + 4;
    }

}

void TForm1::create_format_controls() {
    QWidget* block = SettingsArea;
    Caption(block, "Output Format : ", QRect(8, 4, 105, 24));
    ComboOutputFormat = PickList(block, "ComboOutputFormat");
    ComboOutputFormat->setGeometry(118, 4, 290, 24);
    Caption(block, "Output Folder : ", QRect(8, 32, 105, 24));
    EditOutputFolder = new QLineEdit(block);
    EditOutputFolder->setObjectName(QStringLiteral("EditOutputFolder"));
    EditOutputFolder->setGeometry(118, 32, 380, 24);
    ButtonBrowseForFolder = new QToolButton(block);
    ButtonBrowseForFolder->setObjectName(QStringLiteral("ButtonBrowseForFolder"));
    KeepGlyphIcon(*ButtonBrowseForFolder, TGlyph::Browse);
    ButtonBrowseForFolder->setGeometry(502, 32, 30, 24);
    set_hint(ButtonBrowseForFolder, "Browse For Folder");

}

void TForm1::create_video_group() {
    auto* group = new QGroupBox(" Video Settings ", SettingsArea);
    group->setObjectName(QStringLiteral("GroupVideoSettings"));
    group->setGeometry(4, 60, 264, 172);
    ComboVideoCodec = SettingLine(group, "Video Codec : ", "ComboVideoCodec", 0);
    ComboVideoSize = SettingLine(group, "Video Size : ", "ComboVideoSize", 1);
    ComboVideoBitrate = SettingLine(group, "Video Bitrate : ", "ComboVideoBitrate", 2);
    ComboVideoFramerate = SettingLine(group, "Video Framerate : ", "ComboVideoFramerate", 3);
    ComboLetterBox = SettingLine(group, "Video Zoom : ", "ComboLetterBox", 4);
    set_hint(ComboLetterBox, "Add a letterbox to keep video aspect ratio");
    AlignSettingLines(group);
    // Not shown: the aspect is chosen per job from the row unless set otherwise.
    ComboAspectRatio = PickList(SettingsArea, "ComboAspectRatio");
    ComboAspectRatio->setGeometry(kClientWidth + 10, 0, 140, 24);
    ComboAspectRatio->hide();

}

void TForm1::create_audio_group() {
    auto* group = new QGroupBox(" Audio Settings ", SettingsArea);
    group->setObjectName(QStringLiteral("GroupAudioSettings"));
    group->setGeometry(272, 60, 264, 172);
    ComboAudioCodec = SettingLine(group, "Audio Codec : ", "ComboAudioCodec", 0);
    ComboAudioBitrate = SettingLine(group, "Audio Bitrate :", "ComboAudioBitrate", 1);
    ComboAudioChannels = SettingLine(group, "Audio Channels :", "ComboAudioChannels", 2);
    ComboAudioChannels->addItems({QStringLiteral("Stereo"), QStringLiteral("Mono")});
    ComboSamplingRate = SettingLine(group, "Sampling Rate : ", "ComboSamplingRate", 3);
    Caption(group, "Volume : ", QRect(kGroupMargin, LineTop(4), 0, kLineHeight));
    AlignSettingLines(group);
    // The volume line: the bar, then its label at the right end of the group.
    const int bar_left = ComboSamplingRate->x();
    const int label_width = LabelVolumeWidth(*group);
    LabelVolume = new QLabel(group);
    LabelVolume->setObjectName(QStringLiteral("LabelVolume"));
    LabelVolume->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    LabelVolume->setGeometry(group->width() - kGroupMargin - label_width, LineTop(4), label_width, kLineHeight);
    TrackBar1 = new QSlider(Qt::Horizontal, group);
    TrackBar1->setObjectName(QStringLiteral("TrackBar1"));
    TrackBar1->setRange(0, 10);
    TrackBar1->setPageStep(1);
    TrackBar1->setTickPosition(QSlider::TicksBelow);
    TrackBar1->setGeometry(bar_left, LineTop(4), LabelVolume->x() - kLabelGap - bar_left, kLineHeight);
    set_hint(TrackBar1, "100% is the original video volume");

}

// The picture area, the position row under it and the row of buttons, in the panel's 218 x 213.
void TForm1::create_play_panel() {
    Panelx = new QFrame(SettingsArea);
    Panelx->setObjectName(QStringLiteral("Panelx"));
    Panelx->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    Panelx->setStyleSheet(QStringLiteral("#Panelx { background: black; }"));
    Panelx->setGeometry(541, 4, 218, 213);
    Panelx->setFocusPolicy(Qt::ClickFocus);
    sPanelPlay = new TPlayPanel(Panelx);
    sPanelPlay->setGeometry(2, 2, 214, 159);
    sPanelPlay->setFocusPolicy(Qt::ClickFocus);
    PositionBar = new TPositionBar(Panelx);
    PositionBar->setGeometry(5, 163, 208, 18);
    struct TPlayButton {
        QToolButton*& Button;
        const char* Name;
        const char* Hint;
        std::optional<TGlyph> Glyph;
    };
    // The volume button's picture is the volume step's (form1_volume.cpp).
    const TPlayButton buttons[] = {
        {ButtonPlay, "ButtonPlay", "Play", TGlyph::Play},
        {ButtonPause, "ButtonPause", "Pause", TGlyph::Pause},
        {ButtonStopPlay, "ButtonStopPlay", "Stop", TGlyph::Stop},
        {ButtonVolume, "ButtonVolume", "Adjust Volume", std::nullopt},
        {ButtonSnapshot, "ButtonSnapshot", "Snapshot", TGlyph::Snapshot},
    };
    int left = 6;
    for (const TPlayButton& entry : buttons) {
        entry.Button = new QToolButton(Panelx);
        entry.Button->setObjectName(QString::fromLatin1(entry.Name));
        if (entry.Glyph) KeepGlyphIcon(*entry.Button, *entry.Glyph);
        entry.Button->setAutoRaise(true);
        entry.Button->setGeometry(left, 184, 38, 26);
        set_hint(entry.Button, QString::fromLatin1(entry.Hint));
        left += 42;
    }
}

void TForm1::create_status_bar() {
    auto* bar = new QStatusBar(this);
    bar->setObjectName(QStringLiteral("StatusBar1"));
    bar->setSizeGripEnabled(false);
    bar->setFixedHeight(kStatusBarHeight);
    // The last panel tells the run: files ended, share done and time left.
    const int widths[] = {150, 300, 260};
    for (int panel = 0; panel < 3; ++panel) {
        StatusPanels[panel] = new QLabel(bar);
        StatusPanels[panel]->setObjectName(QStringLiteral("StatusPanel%1").arg(panel));
        StatusPanels[panel]->setFixedWidth(widths[panel]);
        bar->addWidget(StatusPanels[panel]);
    }
    StatusPanels[0]->setText(QStringLiteral("Ready"));
    setStatusBar(bar);
}

}  // namespace brenvale
