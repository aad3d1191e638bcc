#include "app/window/stored_settings.h"

#include <QDir>
#include <QSettings>
#include <QStandardPaths>

namespace brenvale {
namespace {

const QString kOutputFolder = QStringLiteral("Output Folder");
const QString kOutputFormat = QStringLiteral("ComboOutputFormat");
const QString kOverwrite = QStringLiteral("Overwrite");
const QString kDropDownItems = QStringLiteral("DropDownItems");
const QString kLetterBox = QStringLiteral("LetterBox");
const QString kSkin = QStringLiteral("Skin");
const QString kSimultaneousConversions = QStringLiteral("Simultaneous Conversions");
const QString kWindowGeometry = QStringLiteral("Window Geometry");

std::optional<int> ReadInteger(const QSettings& settings, const QString& name) {
    const QVariant value = settings.value(name);
    bool ok = false;
    const int number = value.toInt(&ok);
    if (!value.isValid() || !ok) return std::nullopt;
    return number;
}

// Stored as text: only the texts a boolean is written as count.
std::optional<bool> ReadBoolean(const QSettings& settings, const QString& name) {
    const QString text = settings.value(name).toString().trimmed().toLower();
    if (text == "true" || text == "1") return true;
    if (text == "false" || text == "0") return false;
    return std::nullopt;
}

}  // namespace

TLoadedSettings ReadStoredSettings() {
    const QSettings settings(QStringLiteral("Merrowin"), QStringLiteral("Tandrel"));
    TLoadedSettings loaded;
    if (settings.contains(kOutputFolder)) loaded.OutputFolder = settings.value(kOutputFolder).toString();
    loaded.SimultaneousConversions = ReadInteger(settings, kSimultaneousConversions);
    loaded.WindowGeometry = settings.value(kWindowGeometry).toByteArray();
    if (!(loaded.OutputFormat = ReadInteger(settings, kOutputFormat))) return loaded;
    if (!(loaded.Overwrite = ReadBoolean(settings, kOverwrite))) return loaded;
    if (!(loaded.DropDownItems = ReadInteger(settings, kDropDownItems))) return loaded;
    if (!(loaded.LetterBox = ReadInteger(settings, kLetterBox))) return loaded;
    const QString skin = settings.value(kSkin).toString().trimmed();
    if (!skin.isEmpty()) loaded.Skin = skin;
    loaded.Complete = true;
    return loaded;
}

void WriteStoredSettings(const TStoredSettings& stored) {
    QSettings settings(QStringLiteral("Merrowin"), QStringLiteral("Tandrel"));
    settings.setValue(kOutputFolder, stored.OutputFolder);
    settings.setValue(kOutputFormat, stored.OutputFormat);
    settings.setValue(kOverwrite, stored.Overwrite);
    settings.setValue(kDropDownItems, stored.DropDownItems);
    settings.setValue(kLetterBox, stored.LetterBox);
    settings.setValue(kSkin, stored.Skin);
    settings.setValue(kSimultaneousConversions, stored.SimultaneousConversions);
    settings.setValue(kWindowGeometry, stored.WindowGeometry);
    settings.sync();
}

QString FirstStartOutputFolder() {
    const QString videos = QStandardPaths::writableLocation(QStandardPaths::MoviesLocation);
    if (videos.isEmpty() || !QDir().mkpath(videos)) return {};
    return QDir::toNativeSeparators(videos);
}

}  // namespace brenvale
