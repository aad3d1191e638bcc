#include "probe/media_facts.h"

#include "binding/media_api.h"

namespace brenvale {
namespace {

std::string OrEmpty(const char* text) { return text ? text : ""; }

std::string LanguageOf(const AVStream& stream) {
    const AVDictionaryEntry* language = ff::av_dict_get(stream.metadata, "language", nullptr, 0);
    return language ? language->value : "";
}

void DescribePictures(const AVFormatContext& file, AVStream& stream, TStreamFacts& facts) {
    const AVCodecParameters& codec = *stream.codecpar;
    facts.Width = codec.width;
    facts.Height = codec.height;
    const AVRational rate = ff::av_guess_frame_rate(const_cast<AVFormatContext*>(&file), &stream, nullptr);
    if (rate.num > 0 && rate.den > 0) facts.FrameRate = av_q2d(rate);
    facts.PixelFormat = OrEmpty(ff::av_get_pix_fmt_name(static_cast<AVPixelFormat>(codec.format)));
}

void DescribeSound(const AVCodecParameters& codec, TStreamFacts& facts) {
    facts.Channels = codec.ch_layout.nb_channels;
    facts.SampleRate = codec.sample_rate;
    char layout[128] = {};
    if (codec.ch_layout.nb_channels > 0 && ff::av_channel_layout_describe(&codec.ch_layout, layout, sizeof layout) > 0)
        facts.ChannelLayout = layout;
}

TStreamFacts DescribeStream(const AVFormatContext& file, AVStream& stream) {
    const AVCodecParameters& codec = *stream.codecpar;
    TStreamFacts facts;
    facts.Index = stream.index;
    facts.Type = OrEmpty(ff::av_get_media_type_string(codec.codec_type));
    facts.Codec = OrEmpty(ff::avcodec_get_name(codec.codec_id));
    facts.Profile = OrEmpty(ff::avcodec_profile_name(codec.codec_id, codec.profile));
    if (codec.bit_rate > 0) facts.BitRate = codec.bit_rate;
    facts.Language = LanguageOf(stream);
    if (codec.codec_type == AVMEDIA_TYPE_VIDEO) DescribePictures(file, stream, facts);
    if (codec.codec_type == AVMEDIA_TYPE_AUDIO) DescribeSound(codec, facts);
    return facts;
}

}  // namespace

TMediaFacts DescribeMedia(const AVFormatContext& file) {
    TMediaFacts facts;
    facts.Container = file.iformat ? OrEmpty(file.iformat->name) : "";
    facts.ContainerDescription = file.iformat ? OrEmpty(file.iformat->long_name) : "";
    if (file.duration != AV_NOPTS_VALUE && file.duration >= 0) facts.DurationUs = file.duration;
    if (file.bit_rate > 0) facts.BitRate = file.bit_rate;
    for (unsigned i = 0; i < file.nb_streams; ++i) facts.Streams.push_back(DescribeStream(file, *file.streams[i]));
    return facts;
}

}  // namespace brenvale
