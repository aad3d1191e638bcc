// Plain records that describe one input and one output of a conversion job, so a job can be
// set up without writing option lists. The member initialisers are the "not set" values.
#pragma once

#include <cstdint>
#include <string>

namespace brenvale {

// Days since 1899-12-30, local time; the fraction is the time of day.
using TDateTime = double;

struct TInputOptions {
    std::string FileName;  // empty: the name given to AddInput
    std::string FileFormat;
    std::int32_t StartTimeMs = -1;
    std::int64_t StartTimeUs = -1;
    std::int32_t ProgramID = -1;
    std::string ExtOptions;  // option lines, name=value
};

struct TStreamInfo {
    TDateTime TimeStamp = -1.0;  // creation time: 0 now, > 0 that local time, < 0 not set
    std::int32_t Year = -1;
    std::int32_t Track = -1;
    std::string Title;
    std::string Author;
    std::string Copyright;
    std::string Comment;
    std::string Album;
    std::string Genre;
};

struct TOutputOptions {
    std::string FileName;  // empty: the name given to AddOutput
    std::string FileFormat;
    std::int32_t PacketSize = -1;
    std::int32_t MuxRate = -1;
    float MuxDelay = -1.0f;    // seconds
    float MuxPreload = -1.0f;  // seconds
    std::string AudioCodec;    // encoder name or "copy"
    bool AudioDisable = false;
    std::int32_t AudioVolume = -1;  // 256 = unchanged
    std::int32_t AudioChannels = -1;
    std::int32_t AudioSampleRate = -1;  // Hz
    std::int32_t AudioBitrate = -1;     // bits/s
    std::int32_t AudioBitrateTolerance = -1;
    std::string AudioLanguage;
    std::int32_t AudioSync = 0;
    float AudioDriftThreshold = -1.0f;  // seconds; applied when greater than 0
    std::string AudioTag;    // four characters
    std::string VideoCodec;  // encoder name or "copy"
    bool VideoDisable = false;
    std::string PixelFormat;  // as option "pix_fmt"; empty: the engine's choice
    std::string FrameRate;         // as option "r"
    std::string FrameSize;         // as option "s"
    std::string FrameAspectRatio;  // as option "aspect"
    std::int32_t CropTop = -1;
    std::int32_t CropBottom = -1;
    std::int32_t CropLeft = -1;
    std::int32_t CropRight = -1;
    std::int32_t PadTop = -1;
    std::int32_t PadBottom = -1;
    std::int32_t PadLeft = -1;
    std::int32_t PadRight = -1;
    std::int32_t PadColor = 0;  // red in the lowest byte, green next, blue third
    std::int32_t GroupPictureSize = -1;
    std::int32_t VideoBitrate = -1;  // bits/s
    // Constant quality: the encoder's rate factor ("crf", lower is better); -1: not set.
    std::int32_t VideoQuality = -1;
    std::int32_t VideoMaxRate = -1;
    std::int32_t VideoMinRate = -1;
    std::int32_t VideoBitrateTolerance = -1;
    std::int32_t VideoBufSize = -1;
    std::int32_t VideoSync = -1;
    std::string VideoTag;  // four characters
    std::string VideoFilters;
    bool SubtitleDisable = false;
    std::string SubtitleLanguage;
    bool CopyTimestamp = false;
    std::int32_t StartTimeMs = -1;
    std::int64_t StartTimeUs = -1;
    std::int32_t RecordingTimeMs = -1;
    std::int64_t RecordingTimeUs = -1;
    TStreamInfo Info;
    std::int32_t Target = 0;             // 0 none, 1 vcd, 2 svcd, 3 dvd
    std::int32_t TVStandard = 0;         // 0 automatic, 1 PAL, 2 NTSC
    std::int32_t DefaultTVStandard = 1;  // when detection fails: 1 PAL, other NTSC
    bool CustomHook = false;             // every frame to the custom-hook event
    bool BeforeHook = false;             // ask the before-hook event for every frame
    std::string VideoHookRanges;         // "start-end" in ms, comma separated
    std::string ExtOptions;              // option lines, applied in two passes
};

inline void reset_input_options(TInputOptions& options) { options = TInputOptions{}; }
inline void reset_output_options(TOutputOptions& options) { options = TOutputOptions{}; }

}  // namespace brenvale
