// Inputs and output folders a user gets wrong, through the component: each bad case ends in a
// failure with its reason and leaves no output behind; awkward names convert like any other.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "converter_fixture.h"
#include "tests/support/bad_inputs.h"
#include "tests/support/media_reader.h"
#include "tests/support/test_media.h"

namespace brenvale {
namespace {

namespace fs = std::filesystem;
namespace clips = mediagen::clips;
using testing::BadInput;
using testing::ConverterTest;
using testing::TestClipPath;

// How one conversion attempt ended.
struct Attempt {
    bool converted = false;
    std::string failure;  // the reason, when it did not convert
};

class ConverterBadInputTest : public ConverterTest {
protected:
    // Adds the job, runs it in this thread and tells how it ended.
    Attempt Convert(const std::string& input, const std::string& output) {
        const int index = converter_.AddInput(input);
        if (index < 0) return {false, converter_.LastError()};
        TOutputOptions options;
        options.VideoCodec = "mpeg4";
        options.AudioCodec = "mp2";
        if (!converter_.AddOutput(index, output, &options)) {
            const Attempt refused{false, converter_.LastError()};
            converter_.DeleteJob(index);
            return refused;
        }
        const std::size_t before = events_.Terminations().size();
        converter_.StartJobs(0);
        const std::vector<testing::TerminateEvent> ends = events_.Terminations();
        EXPECT_EQ(ends.size(), before + 2) << "the job's end and the all-done notification";
        converter_.ClearJobs();
        if (ends.size() < before + 1) return {false, "no end reported"};
        const testing::TerminateEvent& end = ends[before];
        if (end.exception) return {false, end.message};
        return {end.finished, end.finished ? "" : "ended early without a reason"};
    }

    // Decodes every frame; the number of pictures, or -1 when something failed to decode.
    static std::int64_t DecodedPictures(const std::string& path) {
        const testing::MediaReport report = testing::ReadMedia(path);
        const std::vector<testing::StreamReport> video = report.StreamsOf(AVMEDIA_TYPE_VIDEO);
        if (!report.Opened() || video.size() != 1 || video[0].decode_errors != 0) return -1;
        return video[0].frames;
    }

    std::string InputFolder() const { return (folder_ / "in").string(); }
};

TEST_F(ConverterBadInputTest, BadInputsFailWithAReasonAndLeaveNoOutput) {
    for (const BadInput& input : testing::WriteBadInputs(InputFolder())) {
        SCOPED_TRACE(input.label);
        const std::string output = OutputPath("out.avi");
        const Attempt attempt = Convert(input.path, output);
        if (input.converts) {
            EXPECT_TRUE(attempt.converted) << attempt.failure;
            EXPECT_GT(DecodedPictures(output), 0);
        } else {
            EXPECT_FALSE(attempt.converted);
            EXPECT_FALSE(attempt.failure.empty()) << "a failure says why";
            EXPECT_FALSE(fs::exists(output)) << "nothing was converted, so nothing is left";
        }
        fs::remove(output);
    }
}

TEST_F(ConverterBadInputTest, AnUnreadableInputFailsWithAReason) {
    const std::string input = OutputPath("locked.avi");
    fs::copy_file(TestClipPath(clips::kOddSize), input);
    if (!testing::MakeUnreadable(input)) GTEST_SKIP() << "this process reads files whatever their mode (root)";
    const Attempt attempt = Convert(input, OutputPath("out.avi"));
    EXPECT_FALSE(attempt.converted);
    EXPECT_NE(attempt.failure.find("ermission denied"), std::string::npos) << attempt.failure;
    EXPECT_FALSE(fs::exists(OutputPath("out.avi")));
}

TEST_F(ConverterBadInputTest, OutputFoldersThatCannotTakeTheFileFailWithAReason) {
    const fs::path read_only = folder_ / "read-only";
    fs::create_directories(read_only);
    fs::create_directories(folder_ / "taken.avi");
    const bool locked = testing::MakeReadOnly(read_only.string());
    struct Case {
        const char* label;
        std::string output;
    };
    std::vector<Case> cases = {{"a missing folder", OutputPath("missing/out.avi")},
                               {"a folder where the file should be", OutputPath("taken.avi")}};
    if (locked) cases.push_back({"a read-only folder", (read_only / "out.avi").string()});
    for (const Case& item : cases) {
        SCOPED_TRACE(item.label);
        const Attempt attempt = Convert(TestClipPath(clips::kOddSize), item.output);
        EXPECT_FALSE(attempt.converted);
        EXPECT_NE(attempt.failure.find(item.output), std::string::npos) << attempt.failure;
        EXPECT_FALSE(fs::is_regular_file(item.output));
    }
    testing::MakeWritable(read_only.string());
    if (!locked) GTEST_SKIP() << "no way to make a folder read-only for this process";
}

TEST_F(ConverterBadInputTest, AwkwardNamesConvertLikeAnyOther) {
    for (const BadInput& input : testing::WriteAwkwardlyNamedInputs(InputFolder())) {
        SCOPED_TRACE(input.label);
        const std::string output = OutputPath(fs::path(input.path).filename().string() + ".avi");
        const Attempt attempt = Convert(input.path, output);
        EXPECT_TRUE(attempt.converted) << attempt.failure;
        EXPECT_EQ(DecodedPictures(output), 25) << "every picture of the clip, under the name asked for";
    }
}

}  // namespace
}  // namespace brenvale
