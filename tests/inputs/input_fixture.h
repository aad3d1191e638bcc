// An engine prepared with the real libraries, a folder of its own for written inputs and the
// engine's log lines.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <utility>
#include <vector>

#include "engine/custom_ffmpeg.h"

namespace brenvale::testing {

class InputTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    std::string PathOf(const std::string& name) const { return (folder_ / name).string(); }
    // Copies the first `bytes` bytes of a catalogue clip (all with -1) under a new name.
    std::string CopyOfClip(const std::string& clip, const std::string& name, std::intmax_t bytes = -1);
    // A YUV4MPEG file of two grey 640x480 pictures with the given aspect and rate fields.
    std::string WriteY4m(const std::string& name, const std::string& aspect, const std::string& rate);
    // A NUT file whose stream 0 is data and stream 1 PCM audio.
    std::string WriteDataThenAudio(const std::string& name);
    std::vector<std::string> LogMessages() const;

    TCustomFFmpeg engine_;
    std::vector<std::pair<int, std::string>> log_;
    std::filesystem::path folder_;
};

}  // namespace brenvale::testing
