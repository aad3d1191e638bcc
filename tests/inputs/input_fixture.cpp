#include "input_fixture.h"

#include <unistd.h>

#include <algorithm>
#include <cstdint>
#include <fstream>
#include <iterator>

#include "binding/library_loader.h"
#include "binding/media_api.h"
#include "tests/support/test_media.h"

namespace brenvale::testing {

void InputTest::SetUp() {
    ASSERT_TRUE(Loader().LoadLibrarySet(kConverterLibraries)) << Loader().LastError();
    folder_ = std::filesystem::temp_directory_path() /
              ("brenvale-inputs-" + std::to_string(::getpid()) + "-" +
               ::testing::UnitTest::GetInstance()->current_test_info()->name());
    std::filesystem::create_directories(folder_);
    engine_.prepare_job();
    engine_.set_verbose(0);  // warnings only: the file descriptions stay out of the output
    engine_.on_log = [this](TCustomFFmpeg&, int level, const std::string& message) {
        log_.emplace_back(level, message);
    };
}

void InputTest::TearDown() { std::filesystem::remove_all(folder_); }

std::string InputTest::CopyOfClip(const std::string& clip, const std::string& name, std::intmax_t bytes) {
    std::ifstream in(TestClipPath(clip), std::ios::binary);
    std::string content((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (bytes >= 0) content.resize(static_cast<std::size_t>(bytes));
    std::ofstream(PathOf(name), std::ios::binary) << content;
    return PathOf(name);
}

std::string InputTest::WriteY4m(const std::string& name, const std::string& aspect, const std::string& rate) {
    std::ofstream out(PathOf(name), std::ios::binary);
    out << "YUV4MPEG2 W640 H480 F" << rate << " Ip A" << aspect << " C420jpeg\n";
    const std::string picture(640 * 480 * 3 / 2, '\x80');
    for (int i = 0; i < 2; ++i) out << "FRAME\n" << picture;
    return PathOf(name);
}

std::string InputTest::WriteDataThenAudio(const std::string& name) {
    const std::string path = PathOf(name);
    AVFormatContext* output = nullptr;
    EXPECT_GE(ff::avformat_alloc_output_context2(&output, nullptr, "nut", path.c_str()), 0);
    AVStream* data = ff::avformat_new_stream(output, nullptr);
    data->codecpar->codec_type = AVMEDIA_TYPE_DATA;
    data->codecpar->codec_id = AV_CODEC_ID_BIN_DATA;
    data->codecpar->codec_tag = MKTAG('B', 'D', 'A', 'T');
    data->time_base = {1, 1000};
    AVStream* audio = ff::avformat_new_stream(output, nullptr);
    audio->codecpar->codec_type = AVMEDIA_TYPE_AUDIO;
    audio->codecpar->codec_id = AV_CODEC_ID_PCM_S16LE;
    audio->codecpar->sample_rate = 8000;
    audio->codecpar->format = AV_SAMPLE_FMT_S16;
    ff::av_channel_layout_default(&audio->codecpar->ch_layout, 1);
    audio->time_base = {1, 8000};
    EXPECT_GE(ff::avio_open(&output->pb, path.c_str(), AVIO_FLAG_WRITE), 0);
    EXPECT_GE(ff::avformat_write_header(output, nullptr), 0);
    AVPacket* packet = ff::av_packet_alloc();
    for (int i = 0; i < 4; ++i) {
        ff::av_new_packet(packet, 160);
        std::fill_n(packet->data, 160, std::uint8_t{0});
        packet->stream_index = i % 2;
        packet->pts = packet->dts = i / 2 * (i % 2 ? 80 : 10);  // 10 ms each
        ff::av_interleaved_write_frame(output, packet);
    }
    ff::av_packet_free(&packet);
    ff::av_write_trailer(output);
    ff::avio_closep(&output->pb);
    ff::avformat_free_context(output);
    return path;
}

std::vector<std::string> InputTest::LogMessages() const {
    std::vector<std::string> messages;
    for (const auto& [level, message] : log_) messages.push_back(message);
    return messages;
}

}  // namespace brenvale::testing
