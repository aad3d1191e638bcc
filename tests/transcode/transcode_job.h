// Runs real conversion jobs for the tests and reads their outputs back.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "tests/support/media_reader.h"

namespace brenvale::testing {

using OptionList = std::vector<std::pair<std::string, std::string>>;

struct JobOutcome {
    bool opened = false;  // input and output opened
    bool finished = false;
    bool exception_raised = false;
    std::string exception_message;
    std::vector<std::string> log;  // "level: text" of every on_log call
    int progress_reports = 0;
    std::int32_t last_frame_number = 0;
    bool Logged(const std::string& text) const;
};

}  // namespace brenvale::testing

namespace brenvale {
class TCustomFFmpeg;
}

namespace brenvale::testing {

struct JobSpec {
    std::string input;
    std::vector<std::string> further_inputs;  // opened after it, with the same input options
    OptionList input_options;
    std::string output;
    OptionList output_options;
    int verbose = 1;
    // Runs after the output is opened, before the job starts.
    std::function<void(TCustomFFmpeg&)> before_start;
};

// A conversion of `input` to `output` with the output options and nothing else.
JobSpec Convert(std::string input, std::string output, OptionList output_options);

// Configures an engine as a job would (options, open input, options, open output) and runs it
// on the calling thread.
JobOutcome RunJob(const JobSpec& setup);

// Stream start of every stream of a file, in microseconds (-1 when unknown).
std::vector<std::int64_t> StreamStarts(const std::string& path);

class TranscodeTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;
    std::string PathOf(const std::string& name) const { return (folder_ / name).string(); }

    std::filesystem::path folder_;
};

}  // namespace brenvale::testing
