#include "engine_test_files.h"

#include <unistd.h>

#include <cstdint>
#include <fstream>
#include <vector>

#include "binding/library_loader.h"
#include "binding/media_api.h"
#include "binding/unicode_io.h"
#include "binding/unicode_names.h"
#include "engine/custom_ffmpeg.h"

namespace brenvale {
namespace {

void PutLittleEndian(std::ofstream& out, std::uint32_t value, int bytes) {
    for (int i = 0; i < bytes; ++i) out.put(static_cast<char>(value >> (8 * i)));
}

// 0.1 s of silence, mono, 8000 Hz, 16-bit.
void WriteWav(const std::string& path) {
    constexpr std::uint32_t kRate = 8000;
    constexpr std::uint32_t kDataBytes = kRate / 10 * 2;
    std::ofstream out(path, std::ios::binary);
    out.write("RIFF", 4);
    PutLittleEndian(out, 36 + kDataBytes, 4);
    out.write("WAVEfmt ", 8);
    PutLittleEndian(out, 16, 4);
    PutLittleEndian(out, 1, 2);  // PCM
    PutLittleEndian(out, 1, 2);  // channels
    PutLittleEndian(out, kRate, 4);
    PutLittleEndian(out, kRate * 2, 4);
    PutLittleEndian(out, 2, 2);
    PutLittleEndian(out, 16, 2);
    out.write("data", 4);
    PutLittleEndian(out, kDataBytes, 4);
    const std::vector<char> silence(kDataBytes, 0);
    out.write(silence.data(), static_cast<std::streamsize>(silence.size()));
}

}  // namespace

void EngineFilesTest::SetUp() {
    ASSERT_TRUE(Loader().LoadLibrarySet(kConverterLibraries)) << Loader().LastError();
    const auto* test = ::testing::UnitTest::GetInstance()->current_test_info();
    folder_ = std::filesystem::temp_directory_path() /
              ("brenvale-engine-" + std::to_string(::getpid()) + "-" + test->name());
    std::filesystem::create_directories(folder_);
}

void EngineFilesTest::TearDown() {
    std::filesystem::remove_all(folder_);
    Loader().UnloadLibrarySet(kConverterLibraries);
}

AVFormatContext* EngineFilesTest::OpenInput(const std::string& name) {
    const std::string path = PathOf(name);
    if (!std::filesystem::exists(path)) WriteWav(path);
    AVFormatContext* input = nullptr;
    EXPECT_EQ(OpenLibraryInput(&input, ToLibraryName(path), nullptr, nullptr), 0) << path;
    return input;
}

void EngineFilesTest::AddInput(TCustomFFmpeg& engine, const std::string& name) {
    const std::string path = PathOf(name);
    if (!std::filesystem::exists(path)) WriteWav(path);
    ASSERT_TRUE(engine.open_input_file(path)) << engine.last_error;
}

void EngineFilesTest::AddOutput(TCustomFFmpeg& engine, const std::string& name, int bytes) {
    const std::string library_name = ToLibraryName(PathOf(name));
    AVFormatContext* output = nullptr;
    ASSERT_GE(ff::avformat_alloc_output_context2(&output, nullptr, "wav", library_name.c_str()), 0);
    ASSERT_EQ(OpenLibraryOutput(&output->pb, library_name, AVIO_FLAG_WRITE, nullptr), 0) << name;
    const std::vector<unsigned char> payload(static_cast<std::size_t>(bytes), 'x');
    if (bytes > 0) ff::avio_write(output->pb, payload.data(), bytes);
    ff::avio_flush(output->pb);
    engine.add_output_file(output);
}

void EngineFilesTest::AddConvertibleOutput(TCustomFFmpeg& engine, const std::string& name) {
    engine.apply_option("acodec", "pcm_s16le");
    ASSERT_EQ(engine.open_output_file(PathOf(name)), engine.output_file_count) << engine.last_error;
}

}  // namespace brenvale
