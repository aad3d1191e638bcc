// The playback volume menu: three steps of the player's volume, each with its button picture.
// The step is neither stored nor tied to the conversion volume.
#include <QAction>
#include <QMenu>
#include <QPixmap>
#include <QToolButton>

#include "app/window/form1.h"

namespace brenvale {
namespace {

struct TVolumeStep {
    const char* Name;
    const char* Caption;
    int Tag;
    TAudioVolume Volume;
    const char* Picture;  // resource name
};

constexpr TVolumeStep kVolumeSteps[] = {
    {"FullVolume1", "Full Volume", 10, kMaxAudioVolume, "spkfull"},
    {"HalfVolume1", "Half Volume", 9, kMaxAudioVolume / 2, "spkhalf"},
    {"Mute1", "Mute", 8, 0, "spkmute"},
};

constexpr QPoint kMenuOffset{40, 40};

QIcon VolumePicture(const char* name) { return QIcon(QPixmap(QStringLiteral(":/") + QLatin1String(name))); }

}  // namespace

void TForm1::create_volume_menu() {
    PopupMenuVolume = new QMenu(this);
    PopupMenuVolume->setObjectName(QStringLiteral("PopupMenuVolume"));
    for (const TVolumeStep& step : kVolumeSteps) {
        QAction* action = PopupMenuVolume->addAction(QString::fromLatin1(step.Caption));
        action->setObjectName(QString::fromLatin1(step.Name));
        action->setData(step.Tag);
        connect(action, &QAction::triggered, this, [this, tag = step.Tag] { FullVolume1Click(tag); });
    }
    ButtonVolume->setIcon(VolumePicture(kVolumeSteps[0].Picture));
}

void TForm1::ButtonVolumeClick() {
    PopupMenuVolume->popup(ButtonVolume->mapToGlobal(QPoint(0, 0)) - kMenuOffset);
}

void TForm1::FullVolume1Click(int tag) {
    for (const TVolumeStep& step : kVolumeSteps) {
        if (step.Tag != tag) continue;
        FFPlayer_.AudioVolume = step.Volume;
        ButtonVolume->setIcon(VolumePicture(step.Picture));
        update();
    }
}

}  // namespace brenvale
