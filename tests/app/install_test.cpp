// `cmake --install` into a fresh prefix places the programs, the desktop entry, its icon and the
// help file where the installed program looks for it.
#include <gtest/gtest.h>

#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <filesystem>

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
                             "share/icons/hicolor/scalable/apps/brenvale.svg", "share/doc/brenvale/help.html"})
        EXPECT_TRUE(std::filesystem::is_regular_file(prefix / file)) << file;
    const auto permissions = std::filesystem::status(prefix / "bin/brenvale").permissions();
    EXPECT_NE(permissions & std::filesystem::perms::owner_exec, std::filesystem::perms::none);
    EXPECT_EQ(FindHelpFile(QString::fromStdString((prefix / "bin").string())),
              QString::fromStdString((prefix / "share/doc/brenvale/help.html").string()));
    const QString validator = QStandardPaths::findExecutable("desktop-file-validate");
    if (!validator.isEmpty()) {
        EXPECT_EQ(RunProgram(validator, {QString::fromStdString((prefix / "share/applications/brenvale.desktop").string())}, &log), 0)
            << log.toStdString();
    }
}

}  // namespace
}  // namespace brenvale::testing
