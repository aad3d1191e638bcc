#include "tests/support/media_reader.h"

#include <algorithm>
#include <cctype>
#include <memory>

#include "binding/unicode_io.h"
#include "binding/unicode_names.h"
#include "tools/library_glue.h"

namespace brenvale::testing {
namespace {

constexpr std::int64_t kNoTime = AV_NOPTS_VALUE;

struct InputCloser {
    void operator()(AVFormatContext* context) const { CloseLibraryInput(&context); }
};
using InputPtr = std::unique_ptr<AVFormatContext, InputCloser>;

StreamReport Describe(AVFormatContext* input, AVStream* stream) {
    const AVCodecParameters* parameters = stream->codecpar;
    StreamReport report;
    report.type = parameters->codec_type;
    report.codec = ff::avcodec_get_name(parameters->codec_id);
    report.width = parameters->width;
    report.height = parameters->height;
    report.sample_rate = parameters->sample_rate;
    report.attached_picture = stream->disposition & AV_DISPOSITION_ATTACHED_PIC;
    report.channels = parameters->ch_layout.nb_channels;
    report.profile = parameters->profile;
    report.codec_tag = parameters->codec_tag;
    report.sample_aspect = parameters->sample_aspect_ratio;
    report.bit_rate = parameters->bit_rate;
    if (report.type == AVMEDIA_TYPE_VIDEO) {
        report.frame_rate = ff::av_guess_frame_rate(input, stream, nullptr);
    }
    if (stream->duration != kNoTime)
        report.duration_us = ff::av_rescale_q(stream->duration, stream->time_base, AV_TIME_BASE_Q);
    return report;
}

CodecContextPtr OpenDecoder(const AVStream* stream) {
    const AVCodec* codec = ff::avcodec_find_decoder(stream->codecpar->codec_id);
    if (!codec) return nullptr;
    CodecContextPtr decoder(ff::avcodec_alloc_context3(codec));
    if (!decoder || ff::avcodec_parameters_to_context(decoder.get(), stream->codecpar) < 0)
        return nullptr;
    decoder->pkt_timebase = stream->time_base;
    if (ff::avcodec_open2(decoder.get(), codec, nullptr) < 0) return nullptr;
    return decoder;
}

class Reader {
public:
    Reader(MediaReport& report, const TimedFrameVisitor& visitor) : report_(report), visitor_(visitor) {}

    void Read(AVFormatContext* input) {
        for (unsigned i = 0; i < input->nb_streams; ++i) {
            report_.streams.push_back(Describe(input, input->streams[i]));
            decoders_.push_back(OpenDecoder(input->streams[i]));
            time_bases_.push_back(input->streams[i]->time_base);
            timed_.push_back(false);
        }
        while (ff::av_read_frame(input, packet_.get()) >= 0) {
            Decode(packet_->stream_index, packet_.get());
            ff::av_packet_unref(packet_.get());
        }
        for (int i = 0; i < static_cast<int>(decoders_.size()); ++i) Decode(i, nullptr);
    }

private:
    void Decode(int index, AVPacket* packet) {
        AVCodecContext* decoder = decoders_[index].get();
        if (!decoder) return;
        if (decoder->codec_type == AVMEDIA_TYPE_SUBTITLE) {
            if (packet) DecodeSubtitle(index, decoder, packet);
            return;
        }
        if (ff::avcodec_send_packet(decoder, packet) < 0) ++report_.streams[index].decode_errors;
        for (;;) {
            const int received = ff::avcodec_receive_frame(decoder, frame_.get());
            if (received == AVERROR(EAGAIN) || received == AVERROR_EOF) return;
            if (received < 0) {
                ++report_.streams[index].decode_errors;
                return;
            }
            Count(index, *frame_);
            ff::av_frame_unref(frame_.get());
        }
    }

    void DecodeSubtitle(int index, AVCodecContext* decoder, AVPacket* packet) {
        AVSubtitle subtitle{};
        int got = 0;
        if (ff::avcodec_decode_subtitle2(decoder, &subtitle, &got, packet) < 0)
            ++report_.streams[index].decode_errors;
        if (!got) return;
        ++report_.streams[index].frames;
        ff::avsubtitle_free(&subtitle);
    }

    void Count(int index, const AVFrame& frame) {
        StreamReport& stream = report_.streams[index];
        if (stream.frames == 0 && stream.type == AVMEDIA_TYPE_VIDEO) {
            const char* name = ff::av_get_pix_fmt_name(static_cast<AVPixelFormat>(frame.format));
            stream.pixel_format = name ? name : "";
            stream.color_range = frame.color_range;
        }
        ++stream.frames;
        stream.samples += frame.nb_samples;
        const std::int64_t time_us = Time(index, frame);
        if (visitor_) visitor_(index, frame, time_us);
    }

    std::int64_t Time(int index, const AVFrame& frame) {
        if (frame.best_effort_timestamp == kNoTime) return -1;
        const AVRational time_base = time_bases_[index];
        const std::int64_t start = ff::av_rescale_q(frame.best_effort_timestamp, time_base, AV_TIME_BASE_Q);
        const std::int64_t length = frame.nb_samples > 0
                                        ? std::int64_t{frame.nb_samples} * 1000000 / frame.sample_rate
                                        : ff::av_rescale_q(frame.pkt_duration, time_base, AV_TIME_BASE_Q);
        StreamReport& stream = report_.streams[index];
        if (!timed_[index]) {
            stream.first_us = start;
            stream.end_us = start + length;
            timed_[index] = true;
        }
        stream.first_us = std::min(stream.first_us, start);
        stream.end_us = std::max(stream.end_us, start + length);
        return start;
    }

    MediaReport& report_;
    const TimedFrameVisitor& visitor_;
    std::vector<CodecContextPtr> decoders_;
    std::vector<AVRational> time_bases_;
    std::vector<bool> timed_;
    PacketPtr packet_ = mediagen::AllocatePacket();
    FramePtr frame_ = mediagen::AllocateFrame();
};

void ReadTags(const AVDictionary* metadata, std::map<std::string, std::string>& tags) {
    const AVDictionaryEntry* tag = nullptr;
    while ((tag = ff::av_dict_get(metadata, "", tag, AV_DICT_IGNORE_SUFFIX))) {
        std::string key = tag->key;
        std::transform(key.begin(), key.end(), key.begin(),
                       [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
        tags[key] = tag->value;
    }
}

}  // namespace

std::vector<StreamReport> MediaReport::StreamsOf(AVMediaType type) const {
    std::vector<StreamReport> found;
    for (const StreamReport& stream : streams) {
        if (stream.type == type && !stream.attached_picture) found.push_back(stream);
    }
    return found;
}

std::vector<StreamReport> MediaReport::Covers() const {
    std::vector<StreamReport> found;
    for (const StreamReport& stream : streams) {
        if (stream.attached_picture) found.push_back(stream);
    }
    return found;
}

std::string MediaReport::Tag(const std::string& key) const {
    const auto found = tags.find(key);
    return found == tags.end() ? std::string() : found->second;
}


MediaReport ReadMedia(const std::string& path, const FrameVisitor& visitor) {
    if (!visitor) return ReadTimedMedia(path, {});
    return ReadTimedMedia(path, [&visitor](int stream, const AVFrame& frame, std::int64_t) { visitor(stream, frame); });
}

MediaReport ReadTimedMedia(const std::string& path, const TimedFrameVisitor& visitor) {
    MediaReport report;
    AVFormatContext* opened = nullptr;
    report.open_result = OpenLibraryInput(&opened, ToLibraryName(path), nullptr, nullptr);
    if (!report.Opened()) return report;
    InputPtr input(opened);
    report.open_result = ff::avformat_find_stream_info(input.get(), nullptr);
    if (!report.Opened()) return report;
    report.format = input->iformat->name;
    if (input->duration != kNoTime) report.duration_us = input->duration;
    ReadTags(input->metadata, report.tags);
    Reader(report, visitor).Read(input.get());
    return report;
}

}  // namespace brenvale::testing
