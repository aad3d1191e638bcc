// An engine prepared with the real libraries, a folder for its outputs and its log lines.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <ostream>
#include <string>
#include <utility>
#include <vector>

#include "binding/media_api.h"
#include "engine/custom_ffmpeg.h"

namespace brenvale::testing {

using Options = std::vector<std::pair<std::string, std::string>>;

// "name=value name=value", for the names of table-driven tests.
std::string DescribeOptions(const Options& options);

class OutputTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    std::string PathOf(const std::string& name) const { return (folder_ / name).string(); }
    // Opens a clip of the catalogue (tools/clip_catalogue.h) as the engine's next input.
    void OpenInput(const char* clip);
    void Apply(const Options& options);
    // open_output_file for a file of the test's folder.
    int Open(const std::string& name) { return engine_.open_output_file(PathOf(name)); }

    AVFormatContext* Output(int file) const { return engine_.output_files[static_cast<std::size_t>(file)]; }
    const TOutputStreamSetup& Setup(int file, int stream) const {
        return engine_.output_stream_setups[static_cast<std::size_t>(file)][static_cast<std::size_t>(stream)];
    }
    AVCodecContext* Codec(int file, int stream) const { return Setup(file, stream).codec; }
    std::vector<AVMediaType> StreamTypes(int file) const;
    bool Logged(int level, const std::string& message) const;

    TCustomFFmpeg engine_;
    std::vector<std::pair<int, std::string>> log_;
    std::filesystem::path folder_;
};

}  // namespace brenvale::testing
