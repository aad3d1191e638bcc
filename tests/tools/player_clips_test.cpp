// The player's clip shapes, read packet by packet in stored order: key frames only where the
// clip asks for them, and sound stored ahead of its pictures.
#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "binding/library_loader.h"
#include "binding/media_api.h"
#include "binding/unicode_io.h"
#include "tests/support/test_media.h"
#include "tools/player_clips.h"

namespace brenvale::mediagen {
namespace {

using brenvale::testing::TestClipPath;

struct StoredPacket {
    AVMediaType type;
    double seconds;  // presentation time
    bool key;
};

// Every packet of the file in the order it is stored.
std::vector<StoredPacket> StoredPackets(const std::string& path) {
    std::vector<StoredPacket> packets;
    AVFormatContext* context = nullptr;
    EXPECT_GE(OpenLibraryInput(&context, path, nullptr, nullptr), 0) << path;
    if (!context) return packets;
    EXPECT_GE(ff::avformat_find_stream_info(context, nullptr), 0);
    AVPacket* packet = ff::av_packet_alloc();
    while (ff::av_read_frame(context, packet) >= 0) {
        const AVStream& stream = *context->streams[packet->stream_index];
        const std::int64_t time = packet->pts != AV_NOPTS_VALUE ? packet->pts : packet->dts;
        packets.push_back({stream.codecpar->codec_type, time * ::av_q2d(stream.time_base),
                           (packet->flags & AV_PKT_FLAG_KEY) != 0});
        ff::av_packet_unref(packet);
    }
    ff::av_packet_free(&packet);
    CloseLibraryInput(&context);
    return packets;
}

class PlayerClipsTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(Loader().LoadLibrarySet(kConverterLibraries)) << Loader().LastError();
        ff::av_log_set_level(AV_LOG_QUIET);
    }
};

TEST_F(PlayerClipsTest, SparseKeyFramesStaySparseInEveryContainer) {
    for (const char* name : {clips::kSparseKeysMp4, clips::kSparseKeysMkv, clips::kSparseKeysWebm,
                             clips::kSparseKeysOgg, clips::kSparseKeysAvi, clips::kSparseKeysMpeg}) {
        std::vector<double> key_times;
        double first = -1;
        for (const StoredPacket& packet : StoredPackets(TestClipPath(name))) {
            if (packet.type != AVMEDIA_TYPE_VIDEO) continue;
            if (first < 0 || packet.seconds < first) first = packet.seconds;
            if (packet.key) key_times.push_back(packet.seconds);
        }
        ASSERT_EQ(key_times.size(), 2u) << name;
        EXPECT_NEAR(key_times[1] - key_times[0], kSparseKeyFrameInterval / 25.0, 0.001) << name;
        EXPECT_NEAR(key_times[0], first, 0.001) << name;
    }
}

// Where each sound packet is stored, the pictures stored so far reach this far behind it.
TEST_F(PlayerClipsTest, PcmSoundIsStoredHalfASecondAheadOfItsPictures) {
    double last_picture = -1;
    std::vector<double> leads;
    for (const StoredPacket& packet : StoredPackets(TestClipPath(clips::kAviPcmAhead))) {
        if (packet.type == AVMEDIA_TYPE_VIDEO) last_picture = packet.seconds;
        if (packet.type == AVMEDIA_TYPE_AUDIO && last_picture >= 0 && packet.seconds < 3.0)
            leads.push_back(packet.seconds - last_picture);
    }
    ASSERT_GT(leads.size(), 20u);
    for (double lead : leads) {
        EXPECT_GT(lead, 0.4);
        EXPECT_LT(lead, 0.6);
    }
}

}  // namespace
}  // namespace brenvale::mediagen
