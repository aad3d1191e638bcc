// One output track of a clip being generated. The generator always advances the track
// whose next item comes first, so the muxer receives the tracks interleaved.
#pragma once

#include <cstdint>
#include <memory>

#include "binding/media_api.h"
#include "tools/clip_description.h"

namespace brenvale::mediagen {

class OutputFile;

class TrackWriter {
public:
    virtual ~TrackWriter() = default;

    virtual bool Finished() const = 0;
    // Presentation time of what WriteNext writes next.
    virtual std::int64_t NextTime() const = 0;
    virtual AVRational TimeBase() const = 0;
    // Encodes the next frame or cue (or, after the last, drains the encoder) and writes
    // the packets that come out.
    virtual void WriteNext() = 0;
};

// Each opens its encoder and adds its stream; all must exist before the file's header.
std::unique_ptr<TrackWriter> MakeVideoTrack(OutputFile& output, const VideoSpec& setup);
std::unique_ptr<TrackWriter> MakeAudioTrack(OutputFile& output, const AudioSpec& setup);
std::unique_ptr<TrackWriter> MakeSubtitleTrack(OutputFile& output, const SubtitleSpec& setup);
std::unique_ptr<TrackWriter> MakeCoverTrack(OutputFile& output, const CoverSpec& setup);

}  // namespace brenvale::mediagen
