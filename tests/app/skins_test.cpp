// The skin engine: every built-in sheet readable (text contrast), folder skins listed and read,
// the start skin and names that are no available skin.
#include <gtest/gtest.h>

#include <QApplication>
#include <QColor>
#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <map>
#include <vector>

#include "app/window/skins.h"
#include "colour_contrast.h"

namespace brenvale::testing {
namespace {

struct TRule {
    QString Selector;
    std::map<QString, QString> Properties;
};

QString WithoutComments(QString sheet) {
    return sheet.remove(
        QRegularExpression(QStringLiteral(R"(/\*.*?\*/)"), QRegularExpression::DotMatchesEverythingOption));
}

std::vector<TRule> ParseRules(const QString& sheet) {
    std::vector<TRule> rules;
    for (const QString& block : sheet.split('}', Qt::SkipEmptyParts)) {
        const qsizetype open = block.indexOf('{');
        if (open < 0) continue;
        TRule rule{block.left(open).simplified(), {}};
        for (const QString& declaration : block.mid(open + 1).split(';', Qt::SkipEmptyParts)) {
            const qsizetype colon = declaration.indexOf(':');
            if (colon > 0) rule.Properties[declaration.left(colon).trimmed()] = declaration.mid(colon + 1).trimmed();
        }
        rules.push_back(rule);
    }
    return rules;
}

// Every colour a value paints with: a plain colour or each stop of a gradient.
std::vector<QColor> Colours(const QString& value) {
    static const QRegularExpression colour(QStringLiteral(R"(#[0-9a-fA-F]{6}\b|#[0-9a-fA-F]{3}\b)"));
    std::vector<QColor> colours;
    for (const QRegularExpressionMatch& match : colour.globalMatch(value)) colours.emplace_back(match.captured());
    return colours;
}

QString Background(const TRule& rule) {
    for (const char* name : {"background-color", "background"})
        if (const auto found = rule.Properties.find(QString::fromLatin1(name)); found != rule.Properties.end())
            return found->second;
    return {};
}

void ExpectReadable(const QString& skin, const QString& selector, const QString& text, const QString& background) {
    // Disabled controls are exempt from the 4.5:1 rule for text; they stay at 3:1 to be legible.
    const double least = selector.contains(QLatin1String(":disabled")) ? 3.0 : 4.5;
    const std::vector<QColor> texts = Colours(text);
    const std::vector<QColor> backgrounds = Colours(background);
    ASSERT_FALSE(texts.empty()) << skin.toStdString() << " " << selector.toStdString() << ": " << text.toStdString();
    ASSERT_FALSE(backgrounds.empty()) << skin.toStdString() << " " << selector.toStdString() << ": "
                                      << background.toStdString();
    for (const QColor& ink : texts)
        for (const QColor& paper : backgrounds)
            EXPECT_GE(Contrast(ink, paper), least) << skin.toStdString() << " " << selector.toStdString() << ": "
                                                   << ink.name().toStdString() << " on " << paper.name().toStdString();
}

// Parts that show no text of their own; a progress bar's chunk carries the bar's text.
bool ShowsNoText(const QString& selector) {
    static const QRegularExpression textless(
        QStringLiteral("::(groove|handle|separator|drop-down|down-arrow|indicator|chunk|sub-page|add-page)"));
    return textless.match(selector).hasMatch();
}

TEST(Skins, EveryBuiltInSkinKeepsItsTextReadable) {
    const TSkinManager skins;
    for (const QString& skin : TSkinManager::BuiltInSkins()) {
        const QString sheet = WithoutComments(skins.StyleSheet(skin));
        EXPECT_FALSE(sheet.contains('@')) << skin.toStdString() << ": a colour without a value";
        const std::vector<TRule> rules = ParseRules(sheet);
        ASSERT_GT(rules.size(), 20u) << skin.toStdString();
        std::map<QString, QString> text_of;  // selector -> its text colour
        for (const TRule& rule : rules) {
            const QString background = Background(rule);
            const auto text = rule.Properties.find(QStringLiteral("color"));
            if (text != rule.Properties.end()) {
                text_of[rule.Selector] = text->second;
                ExpectReadable(skin, rule.Selector, text->second, background);
            } else if (!background.isEmpty()) {
                EXPECT_TRUE(ShowsNoText(rule.Selector))
                    << skin.toStdString() << " " << rule.Selector.toStdString() << ": a background without a text colour";
            }
            if (const auto selected = rule.Properties.find(QStringLiteral("selection-color"));
                selected != rule.Properties.end())
                ExpectReadable(skin, rule.Selector + " selection", selected->second,
                               rule.Properties.at(QStringLiteral("selection-background-color")));
            if (rule.Selector.endsWith(QLatin1String("::chunk"))) {
                const QString bar = rule.Selector.left(rule.Selector.indexOf(QLatin1String("::")));
                ASSERT_TRUE(text_of.contains(bar)) << skin.toStdString() << " " << bar.toStdString();
                ExpectReadable(skin, rule.Selector, text_of[bar], background);
            }
        }
    }
}

// An unticked check box is only its frame: it must stand out from the box's own fill (and so
// from the list, whose fields share that colour) as controls must, at 3:1.
TEST(Skins, EveryBuiltInSkinFramesItsCheckBoxesVisibly) {
    const TSkinManager skins;
    for (const QString& skin : TSkinManager::BuiltInSkins()) {
        int indicators = 0;
        for (const TRule& rule : ParseRules(WithoutComments(skins.StyleSheet(skin)))) {
            const auto border = rule.Properties.find(QStringLiteral("border"));
            if (!rule.Selector.endsWith(QLatin1String("::indicator")) || border == rule.Properties.end()) continue;
            ++indicators;
            const std::vector<QColor> frames = Colours(border->second);
            const std::vector<QColor> fills = Colours(Background(rule));
            ASSERT_EQ(frames.size(), 1u) << skin.toStdString();
            ASSERT_FALSE(fills.empty()) << skin.toStdString();
            for (const QColor& fill : fills)
                EXPECT_GE(Contrast(frames.front(), fill), 3.0) << skin.toStdString() << ": frame "
                                                               << frames.front().name().toStdString() << " on "
                                                               << fill.name().toStdString();
        }
        EXPECT_GT(indicators, 0) << skin.toStdString();
    }
}

TEST(Skins, EveryBuiltInSkinLooksItsOwnWay) {
    const TSkinManager skins;
    std::map<QString, QString> sheets;
    for (const QString& skin : TSkinManager::BuiltInSkins()) sheets[skins.StyleSheet(skin)] = skin;
    EXPECT_EQ(sheets.size(), 10u);
}

void WriteFile(const QString& path, const QByteArray& text) {
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(text);
}

TEST(Skins, FolderSkinsJoinTheSortedListAndAreReadAsStyleSheets) {
    QTemporaryDir folder;
    const QDir skins_folder(folder.path());
    ASSERT_TRUE(skins_folder.mkpath("Zebra") && skins_folder.mkpath("Aurora") && skins_folder.mkpath("NoOptions"));
    WriteFile(skins_folder.filePath("Zebra/Options.dat"), "QWidget { color: #000000; background-color: #ffffff; }");
    WriteFile(skins_folder.filePath("Aurora/Options.dat"), "QWidget { color: #ffffff; background-color: #000000; }");
    WriteFile(skins_folder.filePath("ember.ASZ"), "QWidget { color: #331100; background-color: #ffeecc; }");
    WriteFile(skins_folder.filePath("readme.txt"), "not a skin");
    WriteFile(skins_folder.filePath("NoOptions/skin.asz"), "not in the folder itself");

    TSkinManager skins;
    skins.SetSkinsDirectory(folder.path());
    QStringList expected = TSkinManager::BuiltInSkins();
    expected << "Aurora" << "Zebra" << "ember";
    expected.sort(Qt::CaseInsensitive);
    EXPECT_EQ(skins.SkinNames(), expected);
    EXPECT_EQ(skins.SkinNames().indexOf("Aurora"), 1);  // before "DarkGlass (internal)"

    skins.SetSkinName("ember");
    EXPECT_EQ(skins.SkinName(), "ember");
    EXPECT_EQ(qApp->styleSheet(), "QWidget { color: #331100; background-color: #ffeecc; }");
    skins.SetSkinName("Zebra");
    EXPECT_EQ(qApp->styleSheet(), "QWidget { color: #000000; background-color: #ffffff; }");
}

TEST(Skins, NamesThatAreNoAvailableSkinKeepTheirNameAndBorrowABuiltInLook) {
    QTemporaryDir folder;
    TSkinManager skins;
    skins.SetSkinsDirectory(folder.path());
    struct Case {
        const char* name;
        const char* shown;
    };
    for (const Case& c : {Case{"Elegance", "Elegance (internal)"}, Case{"Golden", "Golden (internal)"},
                          Case{"Opus (internal)", "Opus (internal)"}, Case{"Removed Skin", "Elegance (internal)"}}) {
        skins.SetSkinName(c.name);
        EXPECT_EQ(skins.SkinName(), c.name);
        EXPECT_EQ(skins.ShownSkin(c.name), c.shown);
        EXPECT_EQ(qApp->styleSheet(), skins.StyleSheet(c.shown)) << c.name;
    }
    // A folder skin of the start name wins over the built-in look.
    ASSERT_TRUE(QDir(folder.path()).mkpath("Elegance"));
    WriteFile(folder.filePath("Elegance/Options.dat"), "QLabel { color: #000000; background-color: #eeeeee; }");
    EXPECT_EQ(skins.ShownSkin("Elegance"), "Elegance");
}

}  // namespace
}  // namespace brenvale::testing
