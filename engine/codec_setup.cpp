// The codec set-up of every output stream (stream copy or re-encoding), the two-pass
// statistics files, and the opening of encoders and decoders under the codec lock.
#include <algorithm>
#include <cstdio>
#include <mutex>
#include <optional>

#include "binding/library_loader.h"
#include "binding/media_api.h"
#include "engine/output_timing.h"
#include "engine/rate_control_check.h"
#include "engine/custom_ffmpeg.h"
#include "engine/ffmpeg_exception.h"
#include "engine/text_format.h"
#include "engine/transcoder.h"

namespace brenvale {
namespace {

constexpr std::size_t kMaxPassLogName = 1023;

void copy_language(const AVStream& source, AVStream& target) {
    const AVDictionaryEntry* language = ff::av_dict_get(source.metadata, "language", nullptr, 0);
    if (language && !ff::av_dict_get(target.metadata, "language", nullptr, 0))
        ff::av_dict_set(&target.metadata, "language", language->value, 0);
}

// The source's tag when the output format has no table, knows the tag for this codec, or has
// no tag of its own for the codec; otherwise the muxer chooses.
std::uint32_t copied_codec_tag(const AVOutputFormat& format, const AVCodecParameters& source) {
    if (!format.codec_tag || ff::av_codec_get_id(format.codec_tag, source.codec_tag) == source.codec_id ||
        ff::av_codec_get_tag(format.codec_tag, source.codec_id) == 0)
        return source.codec_tag;
    return 0;
}

// What a user calls the output's container: its file's extension ("m4a"), else the muxer's name.
std::string container_name(const AVFormatContext& output) {
    const std::string file = output.url ? output.url : "";
    const auto dot = file.find_last_of("./");
    if (dot != std::string::npos && file[dot] == '.' && dot + 1 < file.size()) return file.substr(dot + 1);
    return output.oformat->name;
}

// Copied pictures and sound must be of a codec the container holds; the muxer would refuse them
// only once the file is begun, in its own words, or write what players cannot read. A muxer that
// cannot tell (a negative answer) holds only its own codec, which it answers for.
void check_container_holds(const AVFormatContext& output, const AVCodecParameters& source) {
    if (ff::avformat_query_codec(output.oformat, source.codec_id, FF_COMPLIANCE_NORMAL) == 1) return;
    const std::string codec = ff::avcodec_get_name(source.codec_id);
    const std::string container = container_name(output);
    throw FFmpegException("Cannot copy the source's " + codec + " " + ff::av_get_media_type_string(source.codec_type) +
                          ": " + container + " files do not hold " + codec + "; choose a codec to convert it");
}

std::string pass_log_name(const std::string& prefix, int number) {
    std::string name = (prefix.empty() ? std::string("ffmpeg2pass") : prefix) + "-" + std::to_string(number) + ".log";
    if (name.size() > kMaxPassLogName) name.resize(kMaxPassLogName);
    return name;
}

char* read_pass_log(std::FILE* file) {
    std::fseek(file, 0, SEEK_END);
    const long size = std::ftell(file);
    std::fseek(file, 0, SEEK_SET);
    char* text = size >= 0 ? static_cast<char*>(ff::av_malloc(static_cast<std::size_t>(size) + 1)) : nullptr;
    if (!text) return nullptr;
    const std::size_t read = std::fread(text, 1, static_cast<std::size_t>(size), file);
    text[read] = '\0';
    return text;
}

}  // namespace

void TTranscoder::set_up_codec(OutputStream& ost, int number) {
    InputStream& ist = input_streams_[static_cast<std::size_t>(ost.source)];
    copy_language(*ist.stream, *ost.stream);
    // Only a cover output is a cover, whatever an explicit map feeds the others.
    const int cover = ost.stream->disposition & AV_DISPOSITION_ATTACHED_PIC;
    ost.stream->disposition = (ist.stream->disposition & ~AV_DISPOSITION_ATTACHED_PIC) | cover;
    if (!ost.encoder) throw FFmpegException("invalid codec_type of output stream");
    if (ost.stream_copy) {
        set_up_stream_copy(ost);
        return;
    }
    switch (ost.encoder->codec_type) {
        case AVMEDIA_TYPE_AUDIO: set_up_audio_encoding(ost); break;
        case AVMEDIA_TYPE_VIDEO: set_up_video_encoding(ost); break;
        case AVMEDIA_TYPE_SUBTITLE:
            // Today's subtitle encoders refuse to open without a time base.
            if (ost.encoder->time_base.num <= 0) ost.encoder->time_base = AV_TIME_BASE_Q;
            break;
        default: throw FFmpegException("invalid codec_type of output stream");
    }
    ost.needs_encoding = true;
    ist.needs_decoding = true;
    if (ost.encoder->flags & (AV_CODEC_FLAG_PASS1 | AV_CODEC_FLAG_PASS2)) set_up_pass_log(ost, number);
}

void TTranscoder::set_up_stream_copy(OutputStream& ost) {
    const InputStream& ist = input_streams_[static_cast<std::size_t>(ost.source)];
    const AVCodecParameters& source = *ist.stream->codecpar;
    AVCodecParameters& target = *ost.stream->codecpar;
    const AVMediaType type = source.codec_type;
    if (type == AVMEDIA_TYPE_AUDIO && engine_.audio_volume != 256)
        throw FFmpegException("-acodec copy and -vol are incompatible (frames are not decoded)");
    // A cover is copied as it is, whatever happens to the pictures of the video.
    if (type == AVMEDIA_TYPE_VIDEO && !ost.cover) {
        if (engine_.on_custom_hook)
            throw FFmpegException("-vcodec copy and CustomHook are incompatible (frames are not decoded)");
        if (engine_.using_vhook)
            throw FFmpegException("-vcodec copy and -vhook are incompatible (frames are not decoded)");
        if (engine_.preview_flags.load())
            throw FFmpegException("-vcodec copy and PostHooks are incompatible (frames are not decoded)");
    }
    if (type != AVMEDIA_TYPE_AUDIO && type != AVMEDIA_TYPE_VIDEO && type != AVMEDIA_TYPE_SUBTITLE)
        throw FFmpegException("invalid codec_type of output stream");
    if (type != AVMEDIA_TYPE_SUBTITLE && !ost.cover) check_container_holds(*output_file(ost), source);
    const std::uint32_t forced_tag = ost.encoder->codec_tag;
    const AVRational aspect = ost.stream->sample_aspect_ratio;
    if (ff::avcodec_parameters_copy(&target, &source) < 0) throw FFmpegException("av_mallocz fail");
    target.codec_tag = forced_tag ? forced_tag : copied_codec_tag(*output_file(ost)->oformat, source);
    // The muxer refuses a stream whose two aspect ratios disagree.
    if (aspect.num != 0) target.sample_aspect_ratio = aspect;
    if (type == AVMEDIA_TYPE_AUDIO &&
        ((target.block_align == 1 && target.codec_id == AV_CODEC_ID_MP3) || target.codec_id == AV_CODEC_ID_AC3))
        target.block_align = 0;
    ost.encoder->codec_id = source.codec_id;
    ost.encoder->codec_type = type;
    ost.encoder_time_base = copied_time_base(*ist.stream, ist.decoder ? ist.decoder->ticks_per_frame : 1,
                                             *output_file(ost)->oformat);
    ost.encoder->time_base = ost.encoder_time_base;
    ost.stream->time_base = ost.encoder_time_base;
}

void TTranscoder::set_up_audio_encoding(OutputStream& ost) {
    AVFifo* fifo = ff::av_fifo_alloc2(1024, 1, 0);
    if (!fifo) throw FFmpegException("av_fifo_init fail");
    ost.sample_fifo.reset(fifo);
    const InputStream& ist = input_streams_[static_cast<std::size_t>(ost.source)];
    const int decoder_rate = ist.stream->codecpar->sample_rate;
    ost.needs_resampling = ost.encoder->sample_rate != decoder_rate || engine_.audio_sync_method > 1;
    if (ost.encoder->ch_layout.order == AV_CHANNEL_ORDER_UNSPEC || ost.encoder->ch_layout.nb_channels <= 0) {
        const int channels = ost.encoder->ch_layout.nb_channels > 0 ? ost.encoder->ch_layout.nb_channels : 2;
        ff::av_channel_layout_uninit(&ost.encoder->ch_layout);
        ff::av_channel_layout_default(&ost.encoder->ch_layout, channels);
    }
}

void TTranscoder::set_up_video_encoding(OutputStream& ost) {
    const AVCodecParameters& dec = *input_streams_[static_cast<std::size_t>(ost.source)].stream->codecpar;
    AVCodecContext& enc = *ost.encoder;
    const TJobSettings& s = engine_;
    ost.crop_enabled = s.crop_left + s.crop_right + s.crop_top + s.crop_bottom != 0;
    ost.pad_enabled = s.pad_left + s.pad_right + s.pad_top + s.pad_bottom != 0;
    ost.needs_scaling = enc.width != dec.width - s.crop_left - s.crop_right + s.pad_left + s.pad_right ||
                        enc.height != dec.height - s.crop_top - s.crop_bottom + s.pad_top + s.pad_bottom ||
                        enc.pix_fmt != dec.format;
    if (ost.crop_enabled) ost.crop = {s.crop_top, s.crop_bottom, s.crop_left, s.crop_right};
    if (ost.pad_enabled) ost.padding = {s.pad_top, s.pad_bottom, s.pad_left, s.pad_right};
    if (ost.pad_enabled || ost.needs_scaling) allocate_scaled_picture(ost);
    if (ost.needs_scaling) create_scaler(ost, dec);
    engine_.last_error.clear();
    if (s.filters_enabled && !configure_filters(input_streams_[static_cast<std::size_t>(ost.source)], ost)) {
        throw FFmpegException(engine_.last_error.empty() ? "Error opening filters!"
                                                          : "Error opening filters: " + engine_.last_error);
    }
    if (enc.framerate.num == 0 && enc.time_base.num > 0) enc.framerate = av_inv_q(enc.time_base);
}

void TTranscoder::allocate_scaled_picture(OutputStream& ost) {
    const AVCodecContext& enc = *ost.encoder;
    ost.scaled_picture = allocate_frame();
    ost.scaled_picture->format = enc.pix_fmt;
    ost.scaled_picture->width = enc.width;
    ost.scaled_picture->height = enc.height;
    if (ff::av_frame_get_buffer(ost.scaled_picture.get(), 0) < 0)
        throw FFmpegException(ost.needs_scaling ? "Cannot allocate temp picture, check pix fmt"
                                                : "avpicture_alloc fail");
}

// The scaler flags as the generic options left them.
void TTranscoder::read_sws_flags() {
    std::int64_t flags = 0;
    if (ff::av_opt_get_int(engine_.option_context.sws_opts, "sws_flags", 0, &flags) >= 0)
        engine_.sws_flags = static_cast<std::int32_t>(flags);
}

void TTranscoder::create_scaler(OutputStream& ost, const AVCodecParameters& dec) {
    // The scaler aborts the process on a format it does not know: an input whose stream gave no
    // picture before the run (an AVI cut after its headers) has none.
    if (dec.format < 0 || dec.width <= 0 || dec.height <= 0) throw FFmpegException("Cannot get resampling context");
    read_sws_flags();
    const AVCodecContext& enc = *ost.encoder;
    const TPadding& crop = ost.crop;
    const TPadding& pad = ost.padding;
    const TScaleShape shape{dec.width - crop.left - crop.right,
                            dec.height - crop.top - crop.bottom,
                            dec.format,
                            enc.width - pad.left - pad.right,
                            enc.height - pad.top - pad.bottom,
                            enc.pix_fmt,
                            engine_.sws_flags};
    if (!ost.scaler.prepare(shape)) throw FFmpegException("Cannot get resampling context");
}

void TTranscoder::set_up_pass_log(OutputStream& ost, int number) {
    const std::string name = pass_log_name(engine_.pass_logfile_prefix, number);
    if (ost.encoder->flags & AV_CODEC_FLAG_PASS1) {
        ost.pass_log_file.reset(std::fopen(name.c_str(), "w"));
        if (!ost.pass_log_file) throw FFmpegException("Cannot write log file " + name + " for pass-1 encoding");
        return;
    }
    const FilePtr file(std::fopen(name.c_str(), "r"));
    if (!file) throw FFmpegException("Cannot read log file " + name + " for pass-2 encoding");
    char* text = read_pass_log(file.get());
    if (!text) throw FFmpegException("Could not allocate log buffer");
    ff::av_freep(&ost.encoder->stats_in);
    ost.encoder->stats_in = text;
}

void TTranscoder::open_encoders() {
    for (std::size_t n = 0; n < output_streams_.size(); ++n) {
        OutputStream& ost = output_streams_[n];
        if (!ost.needs_encoding) continue;
        const AVCodec* codec = engine_.output_codecs[n];
        if (!codec) codec = ff::avcodec_find_encoder(ost.encoder->codec_id);
        if (!codec) {
            throw FFmpegException(
                format_text("Unsupported codec for output stream #%d.%d", ost.file_index, ost.stream_index));
        }
        if (ost.encoder->codec_type == AVMEDIA_TYPE_SUBTITLE) copy_subtitle_header(ost);
        open_encoder(ost, codec);
        if (ff::avcodec_parameters_from_context(ost.stream->codecpar, ost.encoder) < 0)
            throw FFmpegException("av_mallocz fail");
        ost.encoder_time_base = ost.encoder->time_base;
        ost.stream->time_base = ost.encoder->time_base;
        if (ost.encoder->codec_type == AVMEDIA_TYPE_VIDEO) ost.stream->avg_frame_rate = ost.encoder->framerate;
        // The encoder's first packets come before zero by its delay; where that cannot be stored,
        // the sound starts at zero, its delay taken from the start of the input.
        if (ost.encoder->codec_type == AVMEDIA_TYPE_AUDIO && counts_frames(*output_file(ost)->oformat))
            ost.sync_pts = ost.encoder->initial_padding;
        engine_.extra_size += ost.encoder->extradata_size;
    }
}

// Text subtitle encoders need the style header their source's decoder made.
void TTranscoder::copy_subtitle_header(OutputStream& ost) {
    const AVCodecContext* decoder = input_streams_[static_cast<std::size_t>(ost.source)].decoder;
    if (!decoder || !decoder->subtitle_header || ost.encoder->subtitle_header) return;
    const auto size = static_cast<std::size_t>(decoder->subtitle_header_size);
    auto* header = static_cast<std::uint8_t*>(ff::av_mallocz(size + 1));
    if (!header) throw FFmpegException("av_malloc fail");
    std::copy_n(decoder->subtitle_header, size, header);
    ost.encoder->subtitle_header = header;
    ost.encoder->subtitle_header_size = static_cast<int>(size);
}

void TTranscoder::open_encoder(OutputStream& ost, const AVCodec* codec) {
    if (const std::optional<std::string> refusal = rate_control_refusal(*codec, *ost.encoder)) {
        throw FFmpegException(format_text("Error while opening codec for output stream #%d.%d - ", ost.file_index,
                                          ost.stream_index) +
                              *refusal);
    }
    const std::lock_guard<std::mutex> lock(Loader().CodecLock());
    if (ff::avcodec_open2(ost.encoder, codec, nullptr) < 0) {
        throw FFmpegException(
            format_text("Error while opening codec for output stream #%d.%d - maybe incorrect "
                        "parameters such as bit_rate, rate, width or height",
                        ost.file_index, ost.stream_index));
    }
    engine_.output_stream_list.push_back(ost.encoder);
}

void TTranscoder::open_decoders() {
    for (std::size_t m = 0; m < input_streams_.size(); ++m) {
        InputStream& ist = input_streams_[m];
        if (!ist.needs_decoding) continue;
        const AVCodecID id = ist.stream->codecpar->codec_id;
        const bool forced = m < static_cast<std::size_t>(engine_.input_codec_count) && engine_.input_codecs[m];
        const AVCodec* codec = forced ? engine_.input_codecs[m] : ff::avcodec_find_decoder(id);
        if (!codec || !ist.decoder) {
            throw FFmpegException(format_text("Unsupported codec (id=%d) for input stream #%d.%d", static_cast<int>(id),
                                              ist.file_index, ist.stream_index));
        }
        ist.decoder->pkt_timebase = ist.stream->time_base;
        const std::lock_guard<std::mutex> lock(Loader().CodecLock());
        if (ff::avcodec_open2(ist.decoder, codec, nullptr) < 0) {
            throw FFmpegException(
                format_text("Error while opening codec for input stream #%d.%d", ist.file_index, ist.stream_index));
        }
        engine_.input_stream_list.push_back(ist.decoder);
    }
}

}  // namespace brenvale
