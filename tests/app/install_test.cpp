// `cmake --install` into a fresh prefix places the programs, the desktop entry, its icon and the
// help file where the installed program looks for it.
#include <gtest/gtest.h>

#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <filesystem>
#include <map>

#include "app/window/program_files.h"

namespace brenvale::testing {
namespace {

int RunProgram(const QString& program, const QStringList& arguments, QString* output = nullptr) {
    QProcess process;
    process.setProcessChannelMode(QProcess::MergedChannels);
    process.start(program, arguments);
    if (!process.waitForFinished(120000)) return -1;
    if (output) *output = QString::fromLocal8Bit(process.readAll());
    return process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
}

TEST(Install, PlacesTheProgramsTheDesktopEntryTheIconAndTheHelpFile) {
    const QTemporaryDir folder;
    ASSERT_TRUE(folder.isValid());
    const std::filesystem::path prefix = folder.path().toStdString();
    QString log;
    ASSERT_EQ(RunProgram(BRENVALE_CMAKE_COMMAND, {"--install", BRENVALE_BUILD_DIR, "--prefix", QString::fromStdString(prefix.string())},
                  &log),
              0)
        << log.toStdString();
    for (const char* file : {"bin/brenvale", "bin/brenvale-cli", "share/applications/brenvale.desktop",
                             "share/icons/hicolor/scalable/apps/brenvale.svg", "share/brenvale/help.html"})
        EXPECT_TRUE(std::filesystem::is_regular_file(prefix / file)) << file;
    const auto permissions = std::filesystem::status(prefix / "bin/brenvale").permissions();
    EXPECT_NE(permissions & std::filesystem::perms::owner_exec, std::filesystem::perms::none);
    EXPECT_EQ(FindHelpFile(QString::fromStdString((prefix / "bin").string())),
              QString::fromStdString((prefix / "share/brenvale/help.html").string()));
    // scripts/install-deps installs the validator.
    const QString validator = QStandardPaths::findExecutable("desktop-file-validate");
    ASSERT_FALSE(validator.isEmpty());
    const QString entry = QString::fromStdString((prefix / "share/applications/brenvale.desktop").string());
    EXPECT_EQ(RunProgram(validator, {entry}, &log), 0) << log.toStdString();
}

// File managers offer "Open With Brenvale" for video and audio files and hand over their names.
TEST(Install, TheDesktopEntryOpensVideoAndAudioFiles) {
    QFile file(QStringLiteral(BRENVALE_SOURCE_DIR "/app/data/brenvale.desktop"));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly | QIODevice::Text));
    std::map<QString, QString> entry;
    for (const QString& line : QString::fromUtf8(file.readAll()).split('\n')) {
        const qsizetype equals = line.indexOf('=');
        if (equals > 0) entry[line.left(equals)] = line.mid(equals + 1);
    }
    EXPECT_EQ(entry["Exec"], "brenvale %F");
    const QStringList types = entry["MimeType"].split(';', Qt::SkipEmptyParts);
    for (const char* type : {"video/mp4", "video/x-matroska", "video/webm", "video/quicktime", "video/x-msvideo",
                             "video/mpeg", "video/mp2t", "video/x-flv", "video/x-ms-wmv", "video/3gpp", "audio/mpeg",
                             "audio/flac", "audio/ogg", "audio/x-wav", "audio/mp4"})
        EXPECT_TRUE(types.contains(QLatin1String(type))) << type;
}

}  // namespace
}  // namespace brenvale::testing
