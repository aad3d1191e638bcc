#include "binding/unicode_io.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "binding/library_loader.h"
#include "binding/media_api.h"
#include "binding/unicode_names.h"

namespace brenvale {
namespace {

namespace fs = std::filesystem;

class UnicodeIoTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(Loader().LoadLibrarySet(kConverterLibraries)) << Loader().LastError();
        folder_ = fs::temp_directory_path() / ("brenvale-unicode-" + std::to_string(::getpid()) +
                                               " caf\u00e9 \u65e5\u672c");
        fs::create_directories(folder_);
    }
    void TearDown() override { fs::remove_all(folder_); }

    std::string LibraryName(const std::string& file) {
        return kUnicodePrefix + (folder_ / file).string();
    }

    static std::string ReadAll(const fs::path& path) {
        std::ifstream in(path, std::ios::binary);
        return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    }

    fs::path folder_;
};

TEST_F(UnicodeIoTest, WritesAndReadsBackThroughAUnicodeName) {
    const std::string name = LibraryName("\u00e9t\u00e9.bin");
    const std::string payload(100000, 'x');
    AVIOContext* out = nullptr;
    ASSERT_EQ(OpenLibraryOutput(&out, name, AVIO_FLAG_WRITE, nullptr), 0);
    EXPECT_TRUE(IsUnicodeIo(out));
    ff::avio_write(out, reinterpret_cast<const unsigned char*>(payload.data()),
                   static_cast<int>(payload.size()));
    CloseLibraryOutput(&out);
    EXPECT_EQ(out, nullptr);
    EXPECT_EQ(ReadAll(folder_ / "\u00e9t\u00e9.bin"), payload);

    AVIOContext* in = nullptr;
    ASSERT_EQ(OpenUnicodeIo(&in, name, AVIO_FLAG_READ), 0);
    EXPECT_EQ(ff::avio_size(in), static_cast<int64_t>(payload.size()));
    std::vector<unsigned char> back(payload.size() + 10);
    int total = 0;
    for (int got; (got = ff::avio_read(in, back.data() + total, 4096)) > 0;) total += got;
    EXPECT_EQ(total, static_cast<int>(payload.size()));
    EXPECT_EQ(ff::avio_seek(in, 10, SEEK_SET), 10);
    CloseLibraryOutput(&in);
}

TEST_F(UnicodeIoTest, MissingFileGivesNotFoundAndWritingTruncates) {
    AVIOContext* io = nullptr;
    EXPECT_EQ(OpenUnicodeIo(&io, LibraryName("absent\u00e9.bin"), AVIO_FLAG_READ), AVERROR(ENOENT));
    EXPECT_EQ(io, nullptr);
    EXPECT_EQ(AVERROR(ENOENT), -2);

    std::ofstream(folder_ / "old\u00e9.bin") << std::string(5000, 'o');
    ASSERT_EQ(OpenUnicodeIo(&io, LibraryName("old\u00e9.bin"), AVIO_FLAG_WRITE), 0);
    ff::avio_write(io, reinterpret_cast<const unsigned char*>("new"), 3);
    CloseLibraryOutput(&io);
    EXPECT_EQ(ReadAll(folder_ / "old\u00e9.bin"), "new");
}

// A real container written and read back through the protocol.
TEST_F(UnicodeIoTest, MuxesAndDemuxesAWaveFileUnderANonAsciiName) {
    const std::string name = LibraryName("t\u00f6ne \u266b.wav");
    constexpr int kSampleRate = 8000;
    constexpr int kSamples = 8000;

    AVFormatContext* output = nullptr;
    ASSERT_GE(ff::avformat_alloc_output_context2(&output, nullptr, "wav", name.c_str()), 0);
    AVStream* stream = ff::avformat_new_stream(output, nullptr);
    stream->codecpar->codec_type = AVMEDIA_TYPE_AUDIO;
    stream->codecpar->codec_id = AV_CODEC_ID_PCM_S16LE;
    stream->codecpar->sample_rate = kSampleRate;
    stream->codecpar->format = AV_SAMPLE_FMT_S16;
    ff::av_channel_layout_default(&stream->codecpar->ch_layout, 1);
    stream->time_base = AVRational{1, kSampleRate};
    ASSERT_EQ(OpenLibraryOutput(&output->pb, name, AVIO_FLAG_WRITE, nullptr), 0);
    ASSERT_GE(ff::avformat_write_header(output, nullptr), 0);
    AVPacket* packet = ff::av_packet_alloc();
    ASSERT_EQ(ff::av_new_packet(packet, kSamples * 2), 0);
    for (int i = 0; i < kSamples * 2; ++i) packet->data[i] = static_cast<uint8_t>(i);
    packet->pts = packet->dts = 0;
    packet->duration = kSamples;
    ASSERT_GE(ff::av_interleaved_write_frame(output, packet), 0);
    ASSERT_GE(ff::av_write_trailer(output), 0);
    CloseLibraryOutput(&output->pb);
    ff::avformat_free_context(output);

    AVFormatContext* input = nullptr;
    ASSERT_EQ(OpenLibraryInput(&input, name, nullptr, nullptr), 0);
    ASSERT_GE(ff::avformat_find_stream_info(input, nullptr), 0);
    ASSERT_EQ(input->nb_streams, 1u);
    EXPECT_EQ(input->streams[0]->codecpar->sample_rate, kSampleRate);
    int bytes = 0;
    while (ff::av_read_frame(input, packet) >= 0) {
        bytes += packet->size;
        ff::av_packet_unref(packet);
    }
    EXPECT_EQ(bytes, kSamples * 2);
    CloseLibraryInput(&input);
    EXPECT_EQ(input, nullptr);
    ff::av_packet_free(&packet);
}

TEST_F(UnicodeIoTest, FailedInputOpenLeavesNothingOpen) {
    std::ofstream(folder_ / "junk\u00e9.avi") << std::string(64, '\0');
    AVFormatContext* input = nullptr;
    EXPECT_LT(OpenLibraryInput(&input, LibraryName("junk\u00e9.avi"), nullptr, nullptr), 0);
    EXPECT_EQ(input, nullptr);
    EXPECT_EQ(OpenLibraryInput(&input, LibraryName("absent\u00e9.avi"), nullptr, nullptr), AVERROR(ENOENT));
}

}  // namespace
}  // namespace brenvale
