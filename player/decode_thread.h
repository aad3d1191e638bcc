// The decoding thread: opens the file and its streams, then reads packets into the audio,
// video and subtitle queues, serving seek and pause requests, until the stream is closed.
#pragma once

#include <cstdint>

#include "player/open_settings.h"

struct AVFormatContext;

namespace brenvale::player {

struct StreamState;

struct ChosenStreams {
    int audio = -1;
    int video = -1;
    int subtitle = -1;
};

// The stream index chosen for each kind; every stream's discard level becomes "all".
ChosenStreams ChooseStreams(AVFormatContext& context, WantedStreams wanted);

void DecodeThread(StreamState& is);

// Play thread, on quit (or the opening thread after a failed open): stops the decoding
// thread, which closes the streams and the file. The main thread serves its hand-offs while
// it waits.
void CloseStreamState(StreamState& is);

// Ignored while a request is pending. `position` is in the container's time (µs), or bytes;
// `shown_position` is what the position reports until the seek has landed.
void RequestSeek(StreamState& is, std::int64_t position, std::int64_t shown_position, bool by_bytes);

// True while a seek is requested or its first picture (or, without pictures, its sound) has
// not been played yet; at the start, until the first picture or sound.
bool SeekUnderWay(const StreamState& is);

}  // namespace brenvale::player
