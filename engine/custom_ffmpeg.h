// The engine object of one conversion job: every setting of a command-line transcoder held as
// a field, so several jobs can be configured and run at once, each on its own worker thread.
#pragma once

#include <array>
#include <atomic>
#include <cstdint>
#include <functional>
#include <map>
#include <set>
#include <string>
#include <utility>
#include <vector>

extern "C" {
#include <libavcodec/codec_id.h>
}

#include "common/pause_gate.h"
#include "common/thread_priority.h"
#include "engine/bitstream_filter_chain.h"
#include "engine/engine_types.h"
#include "engine/frame_hook_state.h"
#include "engine/job_settings.h"
#include "engine/output_stream_setup.h"
#include "engine/video_hook.h"

struct AVCodec;
struct AVCodecContext;
struct AVFormatContext;
struct AVFrame;
struct SwsContext;

namespace brenvale {

class TBitmap;
class TCustomFFmpeg;
class TFFmpegThread;

// Event slots; each is called only when set.
using TEngineLogEvent = std::function<void(TCustomFFmpeg& sender, int level, const std::string& message)>;
using TEngineProgressEvent = std::function<void(
    TCustomFFmpeg& sender, std::int32_t frame_number, std::int32_t fps, std::int32_t current_duration,
    float quality, float bit_rate, std::int64_t current_size, std::int32_t total_output_duration)>;
using TEnginePreviewEvent =
    std::function<void(TCustomFFmpeg& sender, TBitmap& bitmap, std::int32_t frame_number, std::int64_t pts)>;
using TEngineBeforeHookEvent = std::function<void(TCustomFFmpeg& sender, std::int64_t pts, THookAction& action)>;
using TEngineCustomHookEvent = std::function<void(TCustomFFmpeg& sender, TBitmap& bitmap, std::int32_t frame_number,
                                                  std::int64_t pts, bool& update, bool& stop_hook)>;
using TEngineTerminateEvent = std::function<void(TCustomFFmpeg& sender)>;

// Holders of generic option values set by name; copied into the real contexts later.
struct TOptionContext {
    std::vector<std::string> opt_names;  // generic options set so far, in order
    // (holder, option name) of every option set on a holder: only these are copied from it, so
    // a holder's own defaults never replace a target's.
    std::set<std::pair<const void*, std::string>> assigned;
    std::array<AVCodecContext*, kMediaTypeCount> codec_opts{};  // indexed by media type
    AVFormatContext* format_opts = nullptr;
    SwsContext* sws_opts = nullptr;
    std::function<void(int level)> on_debug;  // bound to the engine's set_verbose
};

// The pending settings and the job's tables are inherited from TJobSettings.
class TCustomFFmpeg : public TJobSettings {
public:
    // Threads:
    // - Configuration (options, opening files, prepare_job, start) runs on the owner's thread.
    // - From start until notify_terminated the thread that runs `run` owns every field; the
    //   owner then calls only request_stop, cancel, pause, resume and set_preview_flags.
    // - Flags read across threads (control block) are atomics; preview_flags changes under
    //   PreviewLock(). exception_message and finished are written before `terminated` is set
    //   and may be read once it is.
    // - Event slots are called on the thread that runs the job (for cancel of a job that
    //   never ran: on its TDoTerminateThread).
    // - Library objects stay the engine's until release_job.

    TCustomFFmpeg();
    // Asks a running job to stop and waits until no thread of the job uses the engine
    // (serving main-thread calls meanwhile when called on the main thread).
    virtual ~TCustomFFmpeg();
    TCustomFFmpeg(const TCustomFFmpeg&) = delete;
    TCustomFFmpeg& operator=(const TCustomFFmpeg&) = delete;

    // Does nothing without the converter's libraries; otherwise release_job, reset_options,
    // a fresh control state and new option holders. Called once, first, for every job.
    void prepare_job();
    // Gives every pending setting, table count and flag its default.
    void reset_options();

    // Validates and starts the job. Threaded: returns the suspended worker thread; the caller
    // records its id and must resume it (it deletes itself when done). Otherwise runs the job
    // before returning.
    // Returns nullptr when not threaded, when the job already ran or when validation failed
    // (the job then ended with exception_raised set and on_terminate delivered).
    TFFmpegThread* start(bool threaded, TThreadPriority priority = TThreadPriority::tpNormal);
    // The body of a job; errors of the conversion end the job instead of leaving it.
    void run();
    void request_stop();
    // Stops a running job; reports a job that never started as ended, from another thread.
    void cancel();
    void pause();
    void resume();
    void set_preview_flags(TPreviewFlags flags);
    void set_verbose(int level);
    void release_job();
    void notify_terminated();

    // Checked additions to the tables. A full table raises FFmpegException and the caller
    // keeps what it passed.
    void add_input_file(AVFormatContext* file);
    void add_output_file(AVFormatContext* file);
    void add_input_codec(const AVCodec* codec);
    void add_output_codec(const AVCodec* codec);
    void add_stream_map(const TStreamMap& map);
    void add_metadata_map(const TMetadataMap& map);

    // ==== Output files and streams (output_file.cpp, output_streams.cpp, target_presets.cpp)
    // Creates one output with its streams from the pending settings. Returns the new
    // output_file_count, or -1 with last_error set; a failed attempt leaves nothing behind.
    std::int32_t open_output_file(const std::string& file_name);
    // Add one stream to `context`: the output being created or the last output. They raise
    // FFmpegException.
    void new_video_stream(AVFormatContext* context);
    void new_audio_stream(AVFormatContext* context);
    void new_subtitle_stream(AVFormatContext* context);
    // The vcd, svcd, dvd, dv and dv50 presets. `norm` is "pal", "ntsc", "film" or anything else
    // to detect it; `fallback_norm` decides when detection finds nothing. Raises FFmpegException.
    void apply_target(const std::string& type, const std::string& norm, const std::string& fallback_norm);
    // Frees what the stream creators kept for output file `file_index` (release_job, failed opens).
    void release_output_stream_setups(int file_index);
    // Per output file and stream index: the encoder context, the copy flag and the bitstream
    // filters, for the transcode set-up.
    std::array<std::array<TOutputStreamSetup, MAX_STREAMS>, MAX_FILES> output_stream_setups;
    // ==== end of output files and streams

    // ==== Options and video hook plug-ins (options*.cpp, option_*.cpp, video_hook*.cpp)
    // Configuration thread only; the chains are handed to the output streams.
    // Raises FFmpegException, ConvertError or AssertionError on a bad value; the setting
    // concerned keeps its previous value.
    void apply_option(const std::string& name, const std::string& value);
    // Pass 0 applies every line except "newvideo", "newaudio" and "newsubtitle"; pass 1 only those.
    void apply_option_list(const std::string& text, int pass);
    // Never raises: invalid values go to the library log, unknown names are ignored.
    bool set_generic_option(const std::string& name, const std::string& value);
    // Target and holder are library objects with options (codec, container or scaler contexts).
    void apply_generic_options(void* target, void* holder, int required_flags);
    void set_input_format(const std::string& name);
    void set_output_format(const std::string& name);
    void release_video_hooks();
    // The pending filter chains and the kept option texts, with release_job.
    void release_option_state();

    TBitstreamFilterChain video_bsf_chain;
    TBitstreamFilterChain audio_bsf_chain;
    TBitstreamFilterChain subtitle_bsf_chain;
    // Run by the frame hooks on the job's thread, in the order the "vhook" options came.
    TVideoHookChain video_hooks;
    // Generic options private to an encoder or a muxer have no holder to live on: their texts by
    // (holder, name), until apply_generic_options meets a target that has them.
    std::map<std::pair<const void*, std::string>, std::string> private_option_values;
    // ==== end of options and video hook plug-ins

    // ==== Input files (input_file.cpp, input_streams.cpp, find_codec.cpp)
    // Configuration thread only.
    // Opens one input with the pending settings and copies its stream properties back into
    // them. False with last_error set when it fails; nothing is added then. Either way the
    // one-input settings (formats, video_channel, the three codec names) are cleared. Raises
    // FFmpegException only for a stream of an unknown media type.
    bool open_input_file(const std::string& file_name);
    // The id of the decoder or encoder named `name`; AV_CODEC_ID_NONE for an empty name.
    // False with last_error set when no codec has that name or it has another media type.
    bool find_codec(const std::string& name, AVMediaType type, bool encoder, AVCodecID& codec_id);
    struct TInputKinds {
        bool has_video = false;
        bool has_audio = false;
        bool has_subtitle = false;
    };
    // What the opened inputs carry. Raises FFmpegException for an unknown media type.
    TInputKinds check_audio_video_sub_inputs() const;
    // The decoder context of every stream of input file i, by stream index: filled from the
    // stream's parameters, with the generic options and thread count applied, not opened.
    // Owned here until release_job; the run opens and closes them but never frees them.
    std::array<std::vector<AVCodecContext*>, MAX_FILES> input_decoders{};
    // ==== end of input files

    // ==== Transcode (transcoder.h and the files it names)
    // Worker thread only, while the job runs; read by the owner once the job has ended.
    std::int64_t timer_start = 0;  // µs of the library clock when the packet loop began
    std::int64_t video_size = 0;   // bytes of video, audio and global headers written
    std::int64_t audio_size = 0;
    std::int64_t extra_size = 0;
    std::int32_t frames_dup = 0;
    std::int32_t frames_drop = 0;
    std::array<std::int32_t, 52> qp_histogram{};
    friend class TTranscoder;
    // ==== end of transcode

    // ==== Converter jobs (converter/)
    // Asks a running job to stop and waits, however long, until no thread of the job uses the
    // engine (serving main-thread calls meanwhile on the main thread). A subclass calls it first
    // in its destructor, so that its own members outlive the job's threads.
    void stop_and_wait();
    // Time ranges in which video hook plug-ins act, sorted by end (parse_hook_ranges).
    struct THookTimeRange {
        std::int64_t start_us = 0;
        std::int64_t end_us = 0;
    };
    std::vector<THookTimeRange> hook_time_ranges;
    std::int32_t hook_range_index = 0;  // the first range not yet passed
    // ==== end of converter jobs

    // ==== Frame hooks and preview (frame_hooks.cpp, custom_hook.cpp, preview.cpp)
    // hook_state: the worker thread only while the job runs; preview_state: see TPreviewState.
    THookState hook_state;
    TPreviewState preview_state;
    // Every decoded picture before it is encoded: deinterlacing, then the custom hook or the
    // plug-ins. May move the picture into a work copy. `pts`: input time in microseconds.
    void preprocess_video(AVFrame& picture, std::int64_t pts);
    void run_custom_hook(AVFrame& picture, std::int64_t pts);
    // The picture as the encoder took it, when preview_flags is not empty.
    void deliver_preview(const AVFrame& picture, const AVCodecContext& enc);
    // Frees the hook buffer and both converters and closes the preview window (release_job).
    void release_frame_hooks();
    // ==== end of frame hooks and preview

    // ---- Opened files; the engine owns them until release_job. The other tables of these
    // groups and the pending settings are in TJobSettings.
    std::array<AVFormatContext*, MAX_FILES> input_files{};
    std::int32_t input_file_count = 0;
    std::array<AVFormatContext*, MAX_FILES> output_files{};
    std::int32_t output_file_count = 0;

    TOptionContext option_context;

    // ---- Run-time state
    // Codec contexts the run opened; `run` closes what is left. Their owners free them.
    std::vector<AVCodecContext*> output_stream_list;
    std::vector<AVCodecContext*> input_stream_list;

    // ---- Control and events
    std::atomic<TFFmpegThread*> worker_thread{nullptr};  // never dereferenced by the engine
    std::atomic<bool> running{false};
    std::atomic<bool> stop_requested{false};
    std::atomic<bool> finished{false};
    std::atomic<bool> terminated{false};
    std::atomic<bool> exception_raised{false};
    std::string exception_message;
    std::int32_t total_duration_ms = -1;  // -1 = unknown
    std::string last_error;
    std::atomic<TPreviewFlags> preview_flags{0};
    std::int64_t progress_interval = 500000;  // microseconds
    std::int64_t preview_interval = 100000;   // microseconds
    // Inputs are read and decoded on threads of their own, ahead of the encoding; off, the run
    // does one after the other on its thread (the same outputs, one core less busy).
    bool decode_ahead = true;

    TEngineLogEvent on_log;  // level -1 error, 0 warning, 1 information
    TEngineProgressEvent on_progress;
    TEnginePreviewEvent on_preview;
    TEngineBeforeHookEvent on_before_hook;
    TEngineCustomHookEvent on_custom_hook;
    TEngineTerminateEvent on_terminate;

private:
    friend class TFFmpegThread;
    friend class TDoTerminateThread;

    static bool libraries_bound();
    void create_option_holders();

    // The conversion of the run (TTranscoder).
    void transcode();
    void wait_while_paused();
    void close_encoders();
    void close_decoders();
    void end_with_exception(const std::string& message);

    void release_option_holders();
    void release_output_files();
    void release_input_files();
    void release_owned_settings();

    // A job thread is created for the engine / makes its very last use of it.
    void thread_entered();
    void thread_left();

    PauseGate pause_gate_;
    std::atomic<int> threads_inside_{0};         // job threads that may still use the engine
    std::atomic<bool> terminate_pending_{false};  // cancel handed the end to a thread
};

}  // namespace brenvale
