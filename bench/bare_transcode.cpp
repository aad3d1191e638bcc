#include "bench/bare_transcode.h"

#include <algorithm>
#include <cmath>
#include <stdexcept>
#include <vector>

#include "binding/media_api.h"
#include "binding/unicode_io.h"
#include "tools/library_glue.h"
#include "tools/output_file.h"

namespace brenvale::bench {
namespace {


void Check(int result, const char* what) {
    if (result < 0) throw std::runtime_error(std::string(what) + ": " + mediagen::LibraryErrorText(result));
}

CodecContextPtr OpenDecoder(const AVStream* stream) {
    const AVCodec* codec = ff::avcodec_find_decoder(stream->codecpar->codec_id);
    CodecContextPtr decoder(ff::avcodec_alloc_context3(codec));
    Check(ff::avcodec_parameters_to_context(decoder.get(), stream->codecpar), "decoder parameters");
    decoder->pkt_timebase = stream->time_base;
    decoder->thread_count = 0;
    Check(ff::avcodec_open2(decoder.get(), codec, nullptr), "open decoder");
    return decoder;
}

class BareTranscoder {
public:
    BareTranscoder(AVFormatContext* input, const std::string& output, const BareSettings& settings)
        : input_(input), settings_(settings), output_(settings.format, output) {
        video_index_ = ff::av_find_best_stream(input, AVMEDIA_TYPE_VIDEO, -1, -1, nullptr, 0);
        audio_index_ = ff::av_find_best_stream(input, AVMEDIA_TYPE_AUDIO, -1, -1, nullptr, 0);
        video_decoder_ = OpenDecoder(input->streams[video_index_]);
        audio_decoder_ = OpenDecoder(input->streams[audio_index_]);
        OpenVideoEncoder();
        OpenAudioEncoder();
        output_.WriteHeader();
    }

    ~BareTranscoder() { ff::swr_free(&resampler_); }

    BareResult Run() {
        while (ff::av_read_frame(input_, packet_.get()) >= 0) {
            if (packet_->stream_index == video_index_) Decode(video_decoder_.get(), packet_.get(), true);
            if (packet_->stream_index == audio_index_) Decode(audio_decoder_.get(), packet_.get(), false);
            ff::av_packet_unref(packet_.get());
        }
        Decode(video_decoder_.get(), nullptr, true);
        Decode(audio_decoder_.get(), nullptr, false);
        Encode(video_encoder_.get(), video_stream_, nullptr);
        EncodeAudioFrames(true);
        Encode(audio_encoder_.get(), audio_stream_, nullptr);
        output_.Finish();
        return result_;
    }

private:
    void OpenVideoEncoder() {
        video_encoder_ = mediagen::AllocateContext(mediagen::FindEncoder(settings_.video_codec));
        AVCodecContext& enc = *video_encoder_;
        enc.width = video_decoder_->width;
        enc.height = video_decoder_->height;
        enc.pix_fmt = AV_PIX_FMT_YUV420P;
        enc.time_base = {1, settings_.frame_rate};
        enc.framerate = {settings_.frame_rate, 1};
        enc.bit_rate = settings_.video_bit_rate;
        enc.thread_count = 0;
        for (const auto& [name, value] : settings_.video_options)
            Check(ff::av_opt_set(&enc, name.c_str(), value.c_str(), AV_OPT_SEARCH_CHILDREN), "video option");
        video_stream_ = output_.AddEncodedStream(&enc);
    }

    void OpenAudioEncoder() {
        const AVCodec* codec = mediagen::FindEncoder(settings_.audio_codec);
        audio_encoder_ = mediagen::AllocateContext(codec);
        AVCodecContext& enc = *audio_encoder_;
        enc.sample_fmt = codec->sample_fmts ? codec->sample_fmts[0] : AV_SAMPLE_FMT_S16;
        enc.sample_rate = settings_.sample_rate;
        ff::av_channel_layout_default(&enc.ch_layout, 2);
        enc.time_base = {1, settings_.sample_rate};
        enc.bit_rate = settings_.audio_bit_rate;
        enc.thread_count = 0;
        audio_stream_ = output_.AddEncodedStream(&enc);
        Check(ff::swr_alloc_set_opts2(&resampler_, &enc.ch_layout, enc.sample_fmt, enc.sample_rate,
                                      &audio_decoder_->ch_layout, audio_decoder_->sample_fmt,
                                      audio_decoder_->sample_rate, 0, nullptr),
              "resampler");
        Check(ff::swr_init(resampler_), "resampler");
        planes_.resize(ff::av_sample_fmt_is_planar(enc.sample_fmt) ? 2 : 1);
    }

    void Decode(AVCodecContext* decoder, AVPacket* packet, bool video) {
        if (ff::avcodec_send_packet(decoder, packet) < 0) return;
        while (ff::avcodec_receive_frame(decoder, frame_.get()) >= 0) {
            if (video)
                EncodePicture();
            else
                QueueAudio();
            ff::av_frame_unref(frame_.get());
        }
    }

    // The same pictures the engine keeps: one per output frame period, the rest dropped.
    void EncodePicture() {
        const AVRational time_base = input_->streams[video_index_]->time_base;
        const double seconds = static_cast<double>(frame_->best_effort_timestamp) * av_q2d(time_base);
        if (seconds * settings_.frame_rate - static_cast<double>(next_video_pts_) <= -0.6) return;
        frame_->pts = next_video_pts_++;
        frame_->pict_type = AV_PICTURE_TYPE_NONE;
        Encode(video_encoder_.get(), video_stream_, frame_.get());
        ++result_.video_frames;
    }

    void QueueAudio() {
        const AVCodecContext& enc = *audio_encoder_;
        const int room = ff::swr_get_out_samples(resampler_, frame_->nb_samples);
        const int bytes = ff::av_get_bytes_per_sample(enc.sample_fmt) * (planes_.size() == 1 ? 2 : 1);
        std::vector<std::uint8_t*> out(planes_.size());
        for (std::size_t p = 0; p < planes_.size(); ++p) {
            planes_[p].resize(buffered_ * bytes + static_cast<std::size_t>(room) * bytes);
            out[p] = planes_[p].data() + buffered_ * bytes;
        }
        const int converted = ff::swr_convert(
            resampler_, out.data(), room, const_cast<const std::uint8_t**>(frame_->extended_data), frame_->nb_samples);
        Check(converted, "convert audio");
        buffered_ += static_cast<std::size_t>(converted);
        EncodeAudioFrames(false);
    }

    void EncodeAudioFrames(bool last) {
        const AVCodecContext& enc = *audio_encoder_;
        const std::size_t frame_size = enc.frame_size > 0 ? static_cast<std::size_t>(enc.frame_size) : buffered_;
        const int bytes = ff::av_get_bytes_per_sample(enc.sample_fmt) * (planes_.size() == 1 ? 2 : 1);
        while (buffered_ >= frame_size && buffered_ > 0) {
            FramePtr frame = mediagen::AllocateFrame();
            frame->nb_samples = static_cast<int>(frame_size);
            frame->format = enc.sample_fmt;
            frame->sample_rate = enc.sample_rate;
            ff::av_channel_layout_copy(&frame->ch_layout, &enc.ch_layout);
            Check(ff::av_frame_get_buffer(frame.get(), 0), "audio frame");
            for (std::size_t p = 0; p < planes_.size(); ++p) {
                std::copy_n(planes_[p].data(), frame_size * bytes, frame->extended_data[p]);
                planes_[p].erase(planes_[p].begin(),
                                 planes_[p].begin() + static_cast<std::ptrdiff_t>(frame_size * bytes));
            }
            buffered_ -= frame_size;
            frame->pts = next_audio_pts_;
            next_audio_pts_ += static_cast<std::int64_t>(frame_size);
            Encode(audio_encoder_.get(), audio_stream_, frame.get());
            ++result_.audio_frames;
        }
        if (last) buffered_ = 0;
    }

    void Encode(AVCodecContext* encoder, AVStream* stream, const AVFrame* frame) {
        Check(ff::avcodec_send_frame(encoder, frame), "encode");
        while (ff::avcodec_receive_packet(encoder, encoded_.get()) >= 0) {
            if (encoded_->duration == 0 && encoder == video_encoder_.get()) encoded_->duration = 1;
            output_.WritePacket(encoded_.get(), stream, encoder->time_base);
        }
    }

    AVFormatContext* input_;
    BareSettings settings_;
    mediagen::OutputFile output_;
    int video_index_ = -1;
    int audio_index_ = -1;
    CodecContextPtr video_decoder_;
    CodecContextPtr audio_decoder_;
    CodecContextPtr video_encoder_;
    CodecContextPtr audio_encoder_;
    AVStream* video_stream_ = nullptr;
    AVStream* audio_stream_ = nullptr;
    SwrContext* resampler_ = nullptr;
    std::vector<std::vector<std::uint8_t>> planes_;
    std::size_t buffered_ = 0;
    std::int64_t next_video_pts_ = 0;
    std::int64_t next_audio_pts_ = 0;
    PacketPtr packet_ = mediagen::AllocatePacket();
    PacketPtr encoded_ = mediagen::AllocatePacket();
    FramePtr frame_ = mediagen::AllocateFrame();
    BareResult result_;
};

}  // namespace

BareResult RunBareTranscode(const std::string& input, const std::string& output, const BareSettings& settings) {
    AVFormatContext* context = nullptr;
    Check(OpenLibraryInput(&context, input, nullptr, nullptr), "open input");
    BareResult result;
    try {
        Check(ff::avformat_find_stream_info(context, nullptr), "stream info");
        result = BareTranscoder(context, output, settings).Run();
    } catch (...) {
        CloseLibraryInput(&context);
        throw;
    }
    CloseLibraryInput(&context);
    return result;
}

}  // namespace brenvale::bench
