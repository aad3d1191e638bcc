// brenvale-cli handed bad inputs, unusable output folders and awkward names: one line per file
// with its outcome and the reason of each failure, an exit status saying so, nothing left behind
// for what failed, and no hang.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "binding/library_loader.h"
#include "cli_process.h"
#include "tests/support/bad_inputs.h"
#include "tests/support/media_reader.h"
#include "tests/support/test_media.h"

namespace brenvale {
namespace {

namespace fs = std::filesystem;
namespace clips = mediagen::clips;
using testing::BadInput;
using testing::CliResult;

class CliBadInputTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { ASSERT_TRUE(Loader().LoadLibrarySet(kConverterLibraries)) << Loader().LastError(); }

    void SetUp() override {
        folder_ = fs::temp_directory_path() /
                  ("brenvale-cli-bad-" + std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
        fs::remove_all(folder_);
        fs::create_directories(out_folder());
    }
    void TearDown() override {
        testing::MakeWritable(out_folder().string());
        if (!HasFailure()) fs::remove_all(folder_);
    }

    fs::path out_folder() const { return folder_ / "out"; }
    CliResult Convert(std::vector<std::string> files) const {
        files.insert(files.begin(), {"--jobs", "2", "--output-folder", out_folder().string()});
        return testing::RunCli(files, folder_);
    }
    std::vector<fs::path> OutputFiles() const {
        std::vector<fs::path> files;
        for (const auto& entry : fs::directory_iterator(out_folder())) files.push_back(entry.path());
        return files;
    }

    fs::path folder_;
};

// What the default format makes of an input: its name with ".flv" in the output folder.
std::string OutputFor(const std::string& input, const fs::path& folder) {
    return (folder / fs::path(input).filename().replace_extension(".flv")).string();
}

// One line per input, in order: where each converted file went, or why it failed.
void ExpectReport(const std::string& report, const std::vector<BadInput>& inputs, const fs::path& folder) {
    std::size_t at = 0;
    for (const BadInput& input : inputs) {
        SCOPED_TRACE(input.label);
        const std::string output = OutputFor(input.path, folder);
        const std::string start =
            input.converts ? "Done: " + input.path + " -> " + output + "\n" : "Fail: " + input.path + ": ";
        ASSERT_EQ(report.compare(at, start.size(), start), 0) << report.substr(at);
        at += start.size();
        if (input.converts) {
            const auto video = testing::ReadMedia(output).StreamsOf(AVMEDIA_TYPE_VIDEO);
            ASSERT_EQ(video.size(), 1u);
            EXPECT_GT(video[0].frames, 0);
            EXPECT_EQ(video[0].decode_errors, 0);
            continue;
        }
        const std::size_t end = report.find('\n', at);
        ASSERT_NE(end, std::string::npos);
        EXPECT_GT(end, at) << "a failure says why";
        at = end + 1;
    }
    EXPECT_EQ(at, report.size());
}

TEST_F(CliBadInputTest, EachFileGetsItsOutcomeAndOnlyConvertedFilesLeaveOutputs) {
    std::vector<BadInput> inputs = testing::WriteBadInputs((folder_ / "bad").string());
    const std::vector<BadInput> named = testing::WriteAwkwardlyNamedInputs((folder_ / "named").string());
    inputs.insert(inputs.end(), named.begin(), named.end());
    std::vector<std::string> files;
    std::size_t converting = 0;
    for (const BadInput& input : inputs) {
        files.push_back(input.path);
        converting += input.converts ? 1 : 0;
    }
    const CliResult result = Convert(files);
    EXPECT_EQ(result.exit_status, 1) << result.errors;
    ExpectReport(result.out, inputs, out_folder());
    EXPECT_EQ(OutputFiles().size(), converting);
}

TEST_F(CliBadInputTest, AnUnreadableFileFailsWithItsReason) {
    const std::string locked = (folder_ / "locked.avi").string();
    fs::copy_file(testing::TestClipPath(clips::kOddSize), locked);
    if (!testing::MakeUnreadable(locked)) GTEST_SKIP() << "this process reads files whatever their mode (root)";
    const CliResult result = Convert({locked});
    EXPECT_EQ(result.exit_status, 1) << result.errors;
    EXPECT_TRUE(result.out.starts_with("Fail: " + locked + ": ")) << result.out;
    EXPECT_NE(result.out.find("ermission denied"), std::string::npos) << result.out;
    EXPECT_TRUE(OutputFiles().empty());
}

// A missing output folder is made with the folders above it; one that cannot be made, or that
// takes no files, stops with the reason.
TEST_F(CliBadInputTest, OutputFoldersThatCannotTakeFilesStopWithAReason) {
    const std::string source = testing::TestClipPath(clips::kOddSize);
    const fs::path missing = folder_ / "missing" / "deeper";
    const CliResult made = testing::RunCli({"--output-folder", missing.string(), source}, folder_);
    EXPECT_EQ(made.exit_status, 0) << made.errors;
    EXPECT_TRUE(fs::exists(missing / "odd_size.flv"));
    std::ofstream(folder_ / "a-file") << "in the way";
    const std::string blocked = (folder_ / "a-file" / "out").string();
    const CliResult no_folder = testing::RunCli({"--output-folder", blocked, source}, folder_);
    EXPECT_EQ(no_folder.exit_status, 1);
    EXPECT_NE(no_folder.errors.find("brenvale-cli: cannot make the output folder \"" + blocked + "\": "),
              std::string::npos)
        << no_folder.errors;
    EXPECT_EQ(no_folder.out, "");

    if (!testing::MakeReadOnly(out_folder().string())) GTEST_SKIP() << "no way to make a folder read-only";
    const CliResult read_only = Convert({source, source});
    EXPECT_EQ(read_only.exit_status, 1) << read_only.errors;
    const std::string failure = "Fail: " + source + ": Could not open '" + (out_folder() / "odd_size").string();
    EXPECT_EQ(read_only.out.find(failure), 0u) << read_only.out;
    EXPECT_NE(read_only.out.find("\n" + failure), std::string::npos) << read_only.out;
    EXPECT_TRUE(OutputFiles().empty());
}

TEST_F(CliBadInputTest, AFullDiskFailsTheFileWithTheWriteError) {
    const std::string source = testing::TestClipPath(clips::kOddSize);
    const fs::path output = out_folder() / "odd_size.flv";
    const std::string full = testing::FullDevice(out_folder().parent_path().string());
    if (full.empty()) GTEST_SKIP() << "no device here refuses writes as a full disk";
    fs::create_symlink(full, output);
    const CliResult result = Convert({"--overwrite", source});
    EXPECT_EQ(result.exit_status, 1) << result.errors;
    EXPECT_TRUE(result.out.starts_with("Fail: " + source + ": ")) << result.out;
    EXPECT_NE(result.out.find("No space left on device"), std::string::npos) << result.out;
    EXPECT_TRUE(OutputFiles().empty()) << "the failed output goes, the device stays";
    EXPECT_TRUE(fs::exists(full));
}

}  // namespace
}  // namespace brenvale
