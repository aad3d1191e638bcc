#include "app/window/skins.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QRegularExpression>

#include <map>

namespace brenvale {
namespace {

const QString kInternal = QStringLiteral(" (internal)");
const QString kFallbackSkin = QStringLiteral("Elegance (internal)");

struct TBuiltInSkin {
    const char* Name;
    const char* File;  // in the resources under :/skins
};

constexpr TBuiltInSkin kBuiltInSkins[] = {
    {"Acryl (internal)", "acryl.qss"},     {"DarkGlass (internal)", "darkglass.qss"},
    {"Elegance (internal)", "elegance.qss"}, {"Golden (internal)", "golden.qss"},
    {"Grey (internal)", "grey.qss"},       {"MacOS2 (internal)", "macos2.qss"},
    {"Office2007 Blue (internal)", "office2007_blue.qss"},
    {"Opus (internal)", "opus.qss"},       {"Sporting (internal)", "sporting.qss"},
    {"Vista (internal)", "vista.qss"},
};

QString ReadText(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return {};
    return QString::fromUtf8(file.readAll());
}

// A skin file names its colours ("@name: value;" lines); its other lines are rules of its own
// that follow the shared ones.
QString ComposeBuiltInSheet(const QString& skin_file) {
    static const QRegularExpression definition(QStringLiteral(R"(^\s*@(\w+)\s*:\s*(.*?)\s*;\s*$)"));
    static const QRegularExpression reference(QStringLiteral(R"(@(\w+))"));
    std::map<QString, QString> colours;
    QString own_rules;
    for (const QString& line : ReadText(":/skins/" + skin_file).split('\n')) {
        const QRegularExpressionMatch match = definition.match(line);
        if (match.hasMatch())
            colours[match.captured(1)] = match.captured(2);
        else
            own_rules += line + '\n';
    }
    const QString rules = ReadText(QStringLiteral(":/skins/rules.qss"));
    QString sheet;
    qsizetype copied = 0;
    for (const QRegularExpressionMatch& match : reference.globalMatch(rules)) {
        const auto colour = colours.find(match.captured(1));
        if (colour == colours.end()) continue;  // left as written: the sheet shows the fault
        sheet += rules.mid(copied, match.capturedStart() - copied) + colour->second;
        copied = match.capturedEnd();
    }
    return sheet + rules.mid(copied) + own_rules;
}

const TBuiltInSkin* FindBuiltIn(const QString& name) {
    for (const TBuiltInSkin& skin : kBuiltInSkins)
        if (name == QLatin1String(skin.Name) || name + kInternal == QLatin1String(skin.Name)) return &skin;
    return nullptr;
}

// Skin name -> its style sheet file; folders first, so a folder wins over an ".asz" file of its name.
std::map<QString, QString> FolderSkins(const QString& folder) {
    std::map<QString, QString> skins;
    if (folder.isEmpty()) return skins;
    const QDir directory(folder);
    for (const QFileInfo& entry : directory.entryInfoList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name)) {
        const QString options = entry.filePath() + "/Options.dat";
        if (QFileInfo(options).isFile()) skins.emplace(entry.fileName(), options);
    }
    for (const QFileInfo& entry : directory.entryInfoList(QDir::Files, QDir::Name))
        if (entry.suffix().compare(QLatin1String("asz"), Qt::CaseInsensitive) == 0)
            skins.emplace(entry.completeBaseName(), entry.filePath());
    // The built-in names stay the built-in skins'.
    for (const TBuiltInSkin& skin : kBuiltInSkins) skins.erase(QString::fromLatin1(skin.Name));
    return skins;
}

// The skin whose look a name gives: a folder skin of that name, else a built-in one.
struct TShownSkin {
    QString Name;
    QString FolderFile;
    const TBuiltInSkin* BuiltIn = nullptr;
};

TShownSkin FindShownSkin(const QString& folder, const QString& name) {
    const std::map<QString, QString> folder_skins = FolderSkins(folder);
    if (const auto skin = folder_skins.find(name); skin != folder_skins.end()) return {name, skin->second};
    const TBuiltInSkin* skin = FindBuiltIn(name);
    if (!skin) skin = FindBuiltIn(kFallbackSkin);
    return {QString::fromLatin1(skin->Name), {}, skin};
}

}  // namespace

const QStringList& TSkinManager::BuiltInSkins() {
    static const QStringList names = [] {
        QStringList list;
        for (const TBuiltInSkin& skin : kBuiltInSkins) list << QString::fromLatin1(skin.Name);
        return list;
    }();
    return names;
}

QStringList TSkinManager::SkinNames() const {
    QStringList names = BuiltInSkins();
    for (const auto& [name, file] : FolderSkins(folder_)) names << name;
    names.sort(Qt::CaseInsensitive);
    return names;
}

QString TSkinManager::ShownSkin(const QString& name) const { return FindShownSkin(folder_, name).Name; }

QString TSkinManager::StyleSheet(const QString& name) const {
    const TShownSkin shown = FindShownSkin(folder_, name);
    return shown.BuiltIn ? ComposeBuiltInSheet(QString::fromLatin1(shown.BuiltIn->File)) : ReadText(shown.FolderFile);
}

void TSkinManager::SetSkinName(const QString& name) {
    active_ = name;
    if (auto* application = qobject_cast<QApplication*>(QCoreApplication::instance()))
        application->setStyleSheet(StyleSheet(name));
}

}  // namespace brenvale
