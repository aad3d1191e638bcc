// What brenvale-cli tells on standard error: each file's warnings once with their counts (every
// line with --verbose) and each file's last progress line with its real figures.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

#include "cli_process.h"
#include "tests/support/test_media.h"

namespace brenvale {
namespace {

namespace fs = std::filesystem;
namespace clips = mediagen::clips;

std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream stream(text);
    for (std::string line; std::getline(stream, line);) lines.push_back(line);
    return lines;
}

// The Matroska clip with a stretch of its middle overwritten: its sound decoder complains about
// several blocks in the same words.
void WriteDamagedClip(const fs::path& path) {
    fs::copy_file(testing::TestClipPath(clips::kMkvTwoAudioSubtitles), path);
    std::fstream file(path, std::ios::in | std::ios::out | std::ios::binary);
    const std::streamoff size = static_cast<std::streamoff>(fs::file_size(path));
    for (std::streamoff block = size / 3; block < size / 3 + 40000; block += 400) {
        file.seekp(block);
        for (int byte = 0; byte < 60; ++byte) file.put(static_cast<char>((block * 31 + byte * 7) % 251));
    }
}

class CliOutputTest : public ::testing::Test {
protected:
    void SetUp() override {
        folder_ = fs::temp_directory_path() /
                  ("brenvale-cli-output-" + std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
        fs::remove_all(folder_);
        fs::create_directories(folder_ / "out");
        WriteDamagedClip(folder_ / "damaged.mkv");
    }
    void TearDown() override {
        if (!HasFailure()) fs::remove_all(folder_);
    }
    testing::CliResult Convert(const std::vector<std::string>& options) const {
        std::vector<std::string> arguments = {"--format", "mp3", "--overwrite", "--output-folder", (folder_ / "out").string()};
        arguments.insert(arguments.end(), options.begin(), options.end());
        arguments.insert(arguments.end(), {(folder_ / "damaged.mkv").string(), testing::TestClipPath(clips::kWavPcm)});
        return testing::RunCli(arguments, folder_);
    }

    fs::path folder_;
};

TEST_F(CliOutputTest, EachWarningOnceWithItsCountAndEveryOneWhenVerbose) {
    const testing::CliResult told = Convert({});
    ASSERT_EQ(told.exit_status, 0) << told.errors;
    const testing::CliResult verbose = Convert({"--verbose"});
    ASSERT_EQ(verbose.exit_status, 0) << verbose.errors;

    // "damaged.mkv: [aac] invalid band type (3 times)"
    static const std::regex counted(R"(damaged\.mkv: (.*) \((\d+) times\))");
    std::map<std::string, int> seen;
    int repeated = 0;
    for (const std::string& line : Lines(told.errors)) {
        if (!line.starts_with("damaged.mkv: ")) continue;
        EXPECT_EQ(++seen[line], 1) << "told twice: " << line;
        std::smatch match;
        if (!std::regex_match(line, match, counted)) continue;
        ++repeated;
        const std::string warning = "damaged.mkv: " + match[1].str();
        const auto every = Lines(verbose.errors);
        EXPECT_EQ(std::count(every.begin(), every.end(), warning), std::stoi(match[2].str())) << warning;
    }
    EXPECT_GT(repeated, 0) << told.errors;
    // Information lines only when verbose.
    EXPECT_EQ(told.errors.find("Stream mapping:"), std::string::npos);
    EXPECT_NE(verbose.errors.find("damaged.mkv: Stream mapping:"), std::string::npos);
    EXPECT_NE(verbose.errors.find("wav_pcm.wav: Stream mapping:"), std::string::npos);
}

TEST_F(CliOutputTest, EveryFileEndsWithItsRealLastProgressLine) {
    const testing::CliResult told = Convert({});
    ASSERT_EQ(told.exit_status, 0) << told.errors;
    for (const char* name : {"damaged", "wav_pcm"}) {
        const std::string source = std::string(name) + (std::string(name) == "damaged" ? ".mkv" : ".wav");
        const auto kilobytes = fs::file_size(folder_ / "out" / (std::string(name) + ".mp3")) / 1000;
        // A file done in well under a second: its share, the size written and nothing left.
        const std::regex last(source + R"(  100%  )" + std::to_string(kilobytes) + R"( kB  elapsed \d\d:\d\d  left 00:00)");
        const auto lines = Lines(told.errors);
        EXPECT_TRUE(std::any_of(lines.begin(), lines.end(), [&](const std::string& line) { return std::regex_match(line, last); }))
            << source << "\n" << told.errors;
    }
}

}  // namespace
}  // namespace brenvale
