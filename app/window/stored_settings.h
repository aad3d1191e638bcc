// The values kept between runs under QSettings("Merrowin", "Tandrel"): the six of the
// first version, then the ones added since, each read on its own.
#pragma once

#include <optional>

#include <QByteArray>
#include <QString>

namespace brenvale {

inline const QString kDefaultSkin = QStringLiteral("Elegance");

struct TStoredSettings {
    QString OutputFolder;
    int OutputFormat = 0;
    bool Overwrite = false;
    int DropDownItems = 27;
    int LetterBox = 0;
    QString Skin = kDefaultSkin;
    int SimultaneousConversions = 1;
    QByteArray WindowGeometry;  // the main window's size and place
};

// What a load found. Reading stops at the first integer or boolean that is missing or
// unreadable: that value and the later ones stay empty and Complete is false.
struct TLoadedSettings {
    std::optional<QString> OutputFolder;  // nothing when none was ever stored
    std::optional<int> OutputFormat;
    std::optional<bool> Overwrite;
    std::optional<int> DropDownItems;
    std::optional<int> LetterBox;
    QString Skin = kDefaultSkin;  // trimmed; "Elegance" when empty, blank or not reached
    bool Complete = false;
    // Settings written before it existed lack it: that alone does not make the load incomplete.
    std::optional<int> SimultaneousConversions;
    QByteArray WindowGeometry;  // empty when none was stored
};

TLoadedSettings ReadStoredSettings();
// The output folder of a first start: the user's videos folder, made when it does not exist.
QString FirstStartOutputFolder();
// Writes the values in their fixed order; errors are ignored.
void WriteStoredSettings(const TStoredSettings& settings);

}  // namespace brenvale
