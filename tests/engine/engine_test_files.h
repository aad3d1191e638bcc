// Real inputs and outputs for engine tests: a tiny WAV file opened as an input, and output
// containers whose byte stream is open on disk, as open_output_file leaves them.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

struct AVFormatContext;

namespace brenvale {

class TCustomFFmpeg;

// Loads the converter's libraries for the test and gives it a folder of its own.
class EngineFilesTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    std::string PathOf(const std::string& name) const { return (folder_ / name).string(); }
    // Writes a short WAV file and opens it as the engine's next input.
    void AddInput(TCustomFFmpeg& engine, const std::string& name = "input.wav");
    // Opens an output container with its byte stream on disk, writes `bytes` bytes and adds it
    // to the engine's outputs.
    void AddOutput(TCustomFFmpeg& engine, const std::string& name, int bytes);
    // Creates a WAV output the input converts into, as open_output_file does for a job.
    void AddConvertibleOutput(TCustomFFmpeg& engine, const std::string& name);

    // An opened input that is not yet the engine's; the caller closes it.
    AVFormatContext* OpenInput(const std::string& name);

    std::filesystem::path folder_;
};

}  // namespace brenvale
