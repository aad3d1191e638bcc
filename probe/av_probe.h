// Describes a media file: stream counts, container facts and metadata, video stream facts.
// It opens the file itself (LoadFile) or describes a context opened elsewhere (Attach).
// Not thread-safe: one probe is used by one thread at a time.
#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>

#include "probe/stream_info.h"

struct AVFormatContext;

namespace brenvale {

// Raised by LoadFile and Attach when a library the probe needs is not loaded.
class EAVProbeError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

class TAVProbe {
public:
    TAVProbe() = default;
    ~TAVProbe();
    TAVProbe(const TAVProbe&) = delete;
    TAVProbe& operator=(const TAVProbe&) = delete;

    // Closes what was open, then opens `file_name` (UTF-8) with the named input format, or
    // detects it when `format_name` is empty. False with LastError() set when it fails; the
    // probe then has no file.
    bool LoadFile(const std::string& file_name, const std::string& format_name = {});
    // Closes what was open and describes `context` without owning it: its owner must keep it
    // open while the probe describes it.
    void Attach(AVFormatContext* context);
    // Releases the file (closing the context only when LoadFile opened it).
    void Close();

    // Numbers -1 and texts empty without a file, LastError() "file not loaded." then.
    void GetFileStreamInfo(TFileStreamInfo& info);
    // The first video stream, or stream `index` (negative: the first video stream). The
    // record stays reset with LastError() set when there is no such video stream.
    void GetVideoStreamInfo(TVideoStreamInfo& info);
    void GetVideoStreamInfo(int index, TVideoStreamInfo& info);

    // The first audio stream; the record stays reset with LastError() set when there is none.
    void GetAudioStreamInfo(TAudioStreamInfo& info);

    AVFormatContext* FormatContext() const { return format_context_; }
    bool OwnsContext() const { return owns_context_; }
    const std::string& LastError() const { return last_error_; }
    // The format name the last successful LoadFile was given (empty when detected).
    const std::string& FormatName() const { return format_name_; }

    // All -1 without a file; the First* are -1 when the file has no stream of that kind.
    int StreamCount() const { return stream_count_; }
    int ProgramCount() const { return program_count_; }
    int AudioStreamCount() const { return audio_stream_count_; }
    int VideoStreamCount() const { return video_stream_count_; }
    int SubtitleStreamCount() const { return subtitle_stream_count_; }
    // Subtitles made of text (not pictures): those a converter can write in another text form.
    int TextSubtitleStreamCount() const { return text_subtitle_stream_count_; }
    int FirstAudioStream() const { return first_audio_stream_; }
    int FirstVideoStream() const { return first_video_stream_; }
    int FirstSubtitleStream() const { return first_subtitle_stream_; }

private:
    static void check_libraries();
    void count_streams();
    void reset_counts();
    // Keeps `message` as LastError() and writes it with a line feed to the library log at
    // `level` (-1 quiet ... 3 all).
    void fail(int level, const std::string& message);

    AVFormatContext* format_context_ = nullptr;
    bool owns_context_ = false;
    std::string last_error_;
    std::string format_name_;
    int stream_count_ = -1;
    int program_count_ = -1;
    int audio_stream_count_ = -1;
    int video_stream_count_ = -1;
    int subtitle_stream_count_ = -1;
    int text_subtitle_stream_count_ = -1;
    int first_audio_stream_ = -1;
    int first_video_stream_ = -1;
    int first_subtitle_stream_ = -1;
};

}  // namespace brenvale
