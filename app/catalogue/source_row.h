// The facts of a source file as the file list shows them, which the per-job rules read.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "probe/stream_info.h"

namespace brenvale {

// What the list does not show but a job needs: the tracks to carry and the sound's rate.
struct TSourceStreams {
    int AudioTracks = -1;  // -1: not known
    int SubtitleTracks = -1;
    int TextSubtitleTracks = -1;  // of SubtitleTracks, those made of text
    int AudioSampleRate = -1;     // Hz of the first audio track; -1: not known
    std::vector<int> AudioChannels;  // of each audio track, in order; empty: not known
};

struct TSourceRow {
    std::string VideoSize;  // "640x480"; " " without video
    std::string FrameRate;  // "29.97"; " " without video
    std::string Duration;   // "00:03:25" or "Unknown"
    std::int64_t DurationMs = -1;  // the container's; -1: not known
    double DisplayAspect = 0;  // width / height as shown, pixel shape included; 0: not known
    TSourceStreams Streams{};
};

// "WxH" of the first video stream; " " when the file has none.
std::string VideoSizeText(bool has_video, int width, int height);
// The frame rate num / den to two decimals in the shortest form with a "." (25, 29.97, 23.98);
// " " when the file has no video or the rate is unknown.
std::string SourceFrameRateText(bool has_video, int num, int den);
// Whole seconds of `duration_us` (towards zero) as hours:minutes:seconds, two digits at least
// each; "Unknown" for a negative duration of a second or more. An unknown duration (-1)
// gives "00:00:00".
std::string DurationText(std::int64_t duration_us);

// The row of a file the probe opened; `video_stream_count` as the probe counted it.
TSourceRow DescribeSource(int video_stream_count, const TFileStreamInfo& file, const TVideoStreamInfo& video);

}  // namespace brenvale
