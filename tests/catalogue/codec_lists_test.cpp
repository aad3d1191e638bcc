// The value lists follow the codecs chosen, and every value they offer opens its encoder in the
// real libraries with the settings a job gives it.
#include "app/catalogue/codec_lists.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "app/catalogue/codec_table.h"
#include "app/catalogue/format_catalogue.h"
#include "app/catalogue/option_mapping.h"
#include "app/catalogue/text_rules.h"
#include "binding/library_loader.h"
#include "binding/library_ptr.h"

namespace brenvale {
namespace {

using Items = std::vector<std::string>;

struct FollowCase {
    const char* list_text;
    const char* audio_codec;  // empty: the preset's
    const char* sampling_rate;
    const char* audio_bitrate;
    Items sampling_rates;
    std::string sampling_selected;
    std::string bitrate_selected;
    std::size_t bitrate_count;
};

const FollowCase kFollowCases[] = {
    // PCM takes every rate; mp2 neither the lowest nor 54 or 96 kHz.
    {"AVI - Audio Video Interleave (*.avi)", "", "", "", {"8000 Hz", "16000 Hz", "22050 Hz", "32000 Hz", "44100 Hz",
     "48000 Hz", "54000 Hz", "96000 Hz"}, "48000 Hz", "128 Kbps", 13},
    {"MPEG-1 Movie (*.mpg)", "", "", "", {"16000 Hz", "22050 Hz", "32000 Hz", "44100 Hz", "48000 Hz"}, "44100 Hz",
     "192 Kbps", 12},
    // Half rates take mp2's lower bit rates: 192 moves to the nearest, 160.
    {"MPEG-2 Movie (*.mpg)", "mp2", "22050 Hz", "192 Kbps", {"16000 Hz", "22050 Hz", "32000 Hz", "44100 Hz",
     "48000 Hz"}, "22050 Hz", "160 Kbps", 9},
    // An offered rate the new codec lacks moves to the nearest it takes.
    {"AVI - Audio Video Interleave (*.avi)", "ac3", "8000 Hz", "40 Kbps", {"32000 Hz", "44100 Hz", "48000 Hz"},
     "32000 Hz", "40 Kbps", 13},
    {"MP4 - MPEG4 Video (*.mp4)", "", "", "", {"8000 Hz", "16000 Hz", "22050 Hz", "32000 Hz", "44100 Hz", "48000 Hz",
     "96000 Hz"}, "44100 Hz", "128 Kbps", 13},
};

TEST(CodecListsTest, SoundListsFollowTheAudioCodec) {
    for (const FollowCase& c : kFollowCases) {
        SCOPED_TRACE(std::string(c.list_text) + " " + c.audio_codec + " " + c.sampling_rate);
        const TFormatPreset& preset = PresetFor(*FindCatalogueEntry(c.list_text));
        TControlTexts chosen = PresetSelections(preset);
        if (*c.audio_codec) chosen.AudioCodec = c.audio_codec;
        if (*c.sampling_rate) chosen.SamplingRate = c.sampling_rate;
        if (*c.audio_bitrate) chosen.AudioBitrate = c.audio_bitrate;
        const TFormatPreset lists = PresetForCodecs(preset, chosen);
        EXPECT_EQ(lists.SamplingRate.Items, c.sampling_rates);
        EXPECT_EQ(lists.SamplingRate.SelectedText(), c.sampling_selected);
        EXPECT_EQ(lists.AudioBitrate.SelectedText(), c.bitrate_selected);
        EXPECT_EQ(lists.AudioBitrate.Items.size(), c.bitrate_count);
    }
}

TEST(CodecListsTest, MpegOneOffersOnlyItsFrameRates) {
    const TFormatPreset lists = PresetForDefaultCodecs(PresetFor(*FindCatalogueEntry("MPEG-1 Movie (*.mpg)")));
    EXPECT_EQ(lists.VideoFramerate.Items, (Items{"Auto", "23.975 fps", "25.0 fps", "29.97 fps", "30.0 fps"}));
    EXPECT_EQ(lists.VideoFramerate.SelectedText(), "25.0 fps");
    const TFormatPreset& mpeg2 = PresetFor(*FindCatalogueEntry("MPEG-2 Movie (*.mpg)"));
    EXPECT_EQ(PresetForDefaultCodecs(mpeg2).VideoFramerate.Items, mpeg2.VideoFramerate.Items);
}

class OfferedValuesTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { ASSERT_TRUE(Loader().LoadLibrarySet(kConverterLibraries)) << Loader().LastError(); }
    void SetUp() override { ff::av_log_set_level(AV_LOG_QUIET); }
};

// The AV1 encoder returns from its close only after a picture and the end of the stream.
void EndStream(AVCodecContext* encoder) {
    FramePtr picture(ff::av_frame_alloc());
    picture->format = encoder->pix_fmt;
    picture->width = encoder->width;
    picture->height = encoder->height;
    ASSERT_GE(ff::av_frame_get_buffer(picture.get(), 0), 0);
    for (const AVBufferRef* buffer : picture->buf) {
        if (buffer) std::memset(buffer->data, 0, buffer->size);
    }
    ASSERT_GE(ff::avcodec_send_frame(encoder, picture.get()), 0);
    ASSERT_GE(ff::avcodec_send_frame(encoder, nullptr), 0);
    PacketPtr packet(ff::av_packet_alloc());
    while (ff::avcodec_receive_packet(encoder, packet.get()) >= 0) ff::av_packet_unref(packet.get());
}

// The frame rate as the job gives it: the nearest of the encoder's own list, when it has one.
bool OpensVideo(const std::string& encoder_name, const std::string& frame_rate_text) {
    const AVCodec* codec = ff::avcodec_find_encoder_by_name(encoder_name.c_str());
    AVRational rate{0, 0};
    if (!codec || ff::av_parse_video_rate(&rate, FrameRateText(frame_rate_text).c_str()) < 0) return false;
    if (codec->supported_framerates) rate = codec->supported_framerates[ff::av_find_nearest_q_idx(rate, codec->supported_framerates)];
    CodecContextPtr encoder(ff::avcodec_alloc_context3(codec));
    encoder->width = 320;
    encoder->height = 240;
    encoder->pix_fmt = AV_PIX_FMT_YUV420P;
    encoder->time_base = av_inv_q(rate);
    encoder->framerate = rate;
    encoder->bit_rate = 1200000;
    if (ff::avcodec_open2(encoder.get(), codec, nullptr) < 0) return false;
    EndStream(encoder.get());
    return true;
}

bool OpensAudio(const std::string& encoder_name, int sample_rate, int kbps, int channels) {
    const AVCodec* codec = ff::avcodec_find_encoder_by_name(encoder_name.c_str());
    if (!codec) return false;
    CodecContextPtr encoder(ff::avcodec_alloc_context3(codec));
    encoder->sample_rate = sample_rate;
    encoder->time_base = AVRational{1, sample_rate};
    encoder->bit_rate = kbps * 1000;
    encoder->sample_fmt = codec->sample_fmts[0];
    ff::av_channel_layout_default(&encoder->ch_layout, channels);
    return ff::avcodec_open2(encoder.get(), codec, nullptr) >= 0;
}

TEST_F(OfferedValuesTest, EveryValueTheListsOfferOpensItsEncoder) {
    for (const TheAVCodec& entry : FormatCatalogue()) {
        SCOPED_TRACE(entry.ListText);
        const TFormatPreset& preset = PresetFor(entry);
        TControlTexts chosen = PresetSelections(preset);
        for (const std::string& codec : preset.VideoCodec.Items) {
            if (IsStreamCopy(codec)) continue;  // nothing is encoded
            chosen.VideoCodec = codec;
            for (const std::string& rate : PresetForCodecs(preset, chosen).VideoFramerate.Items) {
                if (rate == kSameAsSource) continue;  // whatever the source has
                EXPECT_TRUE(OpensVideo(VideoEncoderName(codec), rate)) << codec << " at " << rate;
            }
        }
        for (const std::string& codec : preset.AudioCodec.Items) {
            if (IsStreamCopy(codec)) continue;
            chosen.AudioCodec = codec;
            // "Same as source" may ask for as many channels as the table says the encoder takes.
            const int most_channels = FindAudioCodec(codec)->MaxChannels;
            for (const std::string& rate : PresetForCodecs(preset, chosen).SamplingRate.Items) {
                chosen.SamplingRate = rate;
                // A common source rate for "Same as source"; a lossless codec offers no bit rate.
                const int hertz = rate == kSameAsSource ? 44100 : ParseInt32(TextBeforeBlank(rate));
                std::vector<std::string> bitrates = PresetForCodecs(preset, chosen).AudioBitrate.Items;
                if (bitrates.empty()) bitrates = {"0"};
                for (const std::string& bitrate : bitrates) {
                    for (const int channels : {1, 2, most_channels}) {
                        EXPECT_TRUE(OpensAudio(AudioEncoderName(codec), hertz, ParseInt32(TextBeforeBlank(bitrate)),
                                               channels))
                            << codec << " at " << rate << ", " << bitrate << ", " << channels << " channels";
                    }
                }
            }
        }
    }
}

}  // namespace
}  // namespace brenvale
