// What a file holds, stream by stream, as a user asks about it (brenvale-cli --info): its
// container, length and bit rate, and each stream's codec and shape.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

struct AVFormatContext;

namespace brenvale {

struct TStreamFacts {
    int Index = -1;
    std::string Type;   // "video", "audio", "subtitle", "data", "attachment"
    std::string Codec;  // "h264"; "none" when the libraries do not know it
    std::string Profile;  // "High", "LC"; empty when the codec has none
    std::int64_t BitRate = -1;  // bits/s; -1 when not known
    std::string Language;       // as the file names it ("eng"); empty when it does not
    // Pictures; -1 or empty for other streams.
    int Width = -1;
    int Height = -1;
    double FrameRate = -1;  // pictures a second
    std::string PixelFormat;
    // Sound.
    int Channels = -1;
    std::string ChannelLayout;  // "stereo", "5.1(side)"
    int SampleRate = -1;        // Hz
};

struct TMediaFacts {
    std::string Container;  // the demuxer's name ("matroska,webm")
    std::string ContainerDescription;  // its long name ("Matroska / WebM")
    std::int64_t DurationUs = -1;  // -1 when not known
    std::int64_t BitRate = -1;     // bits/s over the whole file; -1 when not known
    std::vector<TStreamFacts> Streams;
};

// The facts of a file the probe has opened (its streams found).
TMediaFacts DescribeMedia(const AVFormatContext& file);

}  // namespace brenvale
