// The skin engine: ten built-in skins and those of a skin folder, each a Qt style sheet that
// restyles every window of the application at once. Window thread only.
#pragma once

#include <QString>
#include <QStringList>

namespace brenvale {

class TSkinManager {
public:
    // The built-in skins in their fixed order.
    static const QStringList& BuiltInSkins();

    // Folder skins: sub-folders holding "Options.dat" (named after the folder) and ".asz"
    // files (named after the file), each read as a style sheet.
    void SetSkinsDirectory(const QString& folder) { folder_ = folder; }
    const QString& SkinsDirectory() const { return folder_; }

    // The built-in skins and the folder's, sorted alphabetically.
    QStringList SkinNames() const;
    const QString& SkinName() const { return active_; }
    // Makes `name` the active skin and applies the look of ShownSkin(name) to the whole application.
    void SetSkinName(const QString& name);
    // The available skin whose look `name` gives: itself; for a name that is no available skin,
    // the built-in skin of that name with " (internal)" ("Elegance" at start-up), or else
    // "Elegance (internal)". The name itself stays active, so it is stored unchanged.
    QString ShownSkin(const QString& name) const;
    // The style sheet of ShownSkin(name).
    QString StyleSheet(const QString& name) const;

    QString folder_;
    QString active_;
};

}  // namespace brenvale
