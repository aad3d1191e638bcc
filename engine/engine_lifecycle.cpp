// A job from preparation to its end: prepare_job, start, run and notify_terminated.
#include <cstring>
#include <exception>
#include <mutex>

#include "binding/library_loader.h"
#include "binding/media_api.h"
#include "common/c_locale.h"
#include "engine/custom_ffmpeg.h"
#include "engine/ffmpeg_exception.h"
#include "engine/ffmpeg_thread.h"
#include "engine/library_ptr.h"
#include "engine/transcoder.h"

namespace brenvale {
namespace {

// Closes the codecs a run opened, each under the codec lock; their owners free the contexts.
void close_codecs(std::vector<AVCodecContext*>& list) {
    for (AVCodecContext* codec : list) {
        const std::lock_guard<std::mutex> lock(Loader().CodecLock());
        ff::avcodec_close(codec);
    }
    list.clear();
}

// The AV1 encoder returns from neither its end of stream nor its close until it has been given
// a picture: a run that failed before its first one gives it a blank one, never written.
void give_blank_picture(AVCodecContext* encoder) {
    if (encoder->codec_type != AVMEDIA_TYPE_VIDEO || encoder->frame_number > 0) return;
    const FramePtr frame = allocate_frame();
    if (!frame) return;
    frame->format = encoder->pix_fmt;
    frame->width = encoder->width;
    frame->height = encoder->height;
    frame->pts = 0;
    if (ff::av_frame_get_buffer(frame.get(), 0) < 0) return;
    for (const AVBufferRef* buffer : frame->buf) {
        if (buffer) std::memset(buffer->data, 0, buffer->size);
    }
    ff::avcodec_send_frame(encoder, frame.get());
}

// An encoder closed before it was told the stream ended may never return: the AV1 encoder
// waits for the end of stream in its close. Telling it now costs only the pictures it still holds.
void end_encoder_stream(AVCodecContext* encoder) {
    // Subtitle encoders take whole subtitles, not a stream of frames.
    if (encoder->codec_type != AVMEDIA_TYPE_VIDEO && encoder->codec_type != AVMEDIA_TYPE_AUDIO) return;
    give_blank_picture(encoder);
    if (ff::avcodec_send_frame(encoder, nullptr) < 0) return;
    const PacketPtr packet = allocate_packet();
    while (packet && ff::avcodec_receive_packet(encoder, packet.get()) >= 0) ff::av_packet_unref(packet.get());
}

}  // namespace

void TCustomFFmpeg::prepare_job() {
    if (!libraries_bound()) return;
    release_job();
    reset_options();
    running = false;
    stop_requested = false;
    finished = false;
    terminated = false;
    terminate_pending_ = false;
    exception_raised = false;
    exception_message.clear();
    total_duration_ms = -1;
    create_option_holders();
}

TFFmpegThread* TCustomFFmpeg::start(bool threaded, TThreadPriority priority) {
    if (running || terminated || terminate_pending_) return nullptr;
    TFFmpegThread* thread = nullptr;
    try {
        if (output_file_count <= 0) throw FFmpegException("At least one output file must be specified");
        if (input_file_count == 0) throw FFmpegException("At least one input file must be specified");
        if (threaded) thread = TFFmpegThread::Create(*this, priority);
    } catch (const std::exception& error) {
        release_job();
        end_with_exception(error.what());
        notify_terminated();
        return nullptr;
    }
    running = true;
    stop_requested = false;
    finished = false;
    terminated = false;
    pause_gate_.Reset();
    if (!threaded) {
        run();
        return nullptr;
    }
    worker_thread = thread;
    return thread;
}

void TCustomFFmpeg::run() {
    // The run's filter arguments, option texts, log lines and statistics files, on whichever
    // thread runs it.
    const TCLocaleScope c_numbers;
    finished = false;
    try {
        transcode();
    } catch (const std::exception& error) {
        end_with_exception(error.what());
    } catch (...) {
        end_with_exception("Unknown error");
    }
    close_encoders();
    close_decoders();
    release_job();
    notify_terminated();
}

void TCustomFFmpeg::transcode() { TTranscoder(*this).transcode(); }

void TCustomFFmpeg::close_encoders() {
    for (AVCodecContext* encoder : output_stream_list) end_encoder_stream(encoder);
    close_codecs(output_stream_list);
}

void TCustomFFmpeg::close_decoders() { close_codecs(input_stream_list); }

void TCustomFFmpeg::end_with_exception(const std::string& message) {
    if (on_log) on_log(*this, -1, message);
    exception_message = message;
    exception_raised = true;
}

void TCustomFFmpeg::notify_terminated() {
    running = false;
    terminated = true;
    worker_thread = nullptr;
    if (on_terminate) on_terminate(*this);
}

}  // namespace brenvale
