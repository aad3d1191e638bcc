#include "tools/output_file.h"

#include "binding/media_api.h"
#include "binding/unicode_io.h"
#include "binding/unicode_names.h"
#include "tools/library_glue.h"
#include "tools/media_generator.h"

namespace brenvale::mediagen {

OutputFile::OutputFile(const std::string& format, const std::string& path) : path_(path) {
    const std::string library_name = ToLibraryName(path);
    ThrowOnError(ff::avformat_alloc_output_context2(&context_, nullptr, format.c_str(),
                                                    library_name.c_str()),
                 "output format " + format);
    if (context_->oformat->flags & AVFMT_NOFILE) return;
    const int opened = OpenLibraryOutput(&context_->pb, library_name, AVIO_FLAG_WRITE, nullptr);
    if (opened < 0) {
        ff::avformat_free_context(context_);
        ThrowOnError(opened, "open " + path);
    }
}

OutputFile::~OutputFile() {
    if (!(context_->oformat->flags & AVFMT_NOFILE)) CloseLibraryOutput(&context_->pb);
    ff::avformat_free_context(context_);
}

AVStream* OutputFile::AddEncodedStream(AVCodecContext* encoder) {
    if (context_->oformat->flags & AVFMT_GLOBALHEADER)
        encoder->flags |= AV_CODEC_FLAG_GLOBAL_HEADER;
    ThrowOnError(ff::avcodec_open2(encoder, encoder->codec, nullptr),
                 std::string("open encoder ") + encoder->codec->name);
    AVStream* stream = ff::avformat_new_stream(context_, nullptr);
    if (!stream) throw GenerationError("cannot add a stream to " + path_);
    ThrowOnError(ff::avcodec_parameters_from_context(stream->codecpar, encoder),
                 "stream parameters");
    stream->time_base = encoder->time_base;
    return stream;
}

void OutputFile::SetTag(const std::string& key, const std::string& value) {
    ThrowOnError(ff::av_dict_set(&context_->metadata, key.c_str(), value.c_str(), 0), "tag " + key);
}

void OutputFile::WriteHeader() {
    ThrowOnError(ff::avformat_write_header(context_, nullptr), "write header of " + path_);
}

void OutputFile::WritePacket(AVPacket* packet, const AVStream* stream,
                             const AVRational& time_base) {
    ff::av_packet_rescale_ts(packet, time_base, stream->time_base);
    packet->stream_index = stream->index;
    const int written =
        interleave_ ? ff::av_interleaved_write_frame(context_, packet) : ff::av_write_frame(context_, packet);
    if (!interleave_) ff::av_packet_unref(packet);  // the direct path leaves the reference to the caller
    ThrowOnError(written, "write packet to " + path_);
}

void OutputFile::Finish() {
    ThrowOnError(ff::av_write_trailer(context_), "write trailer of " + path_);
}

}  // namespace brenvale::mediagen
