// The decoding thread: opens the file and its streams, then reads packets into the audio,
// video and subtitle queues, serving seek and pause requests, until the stream is closed.
#pragma once

#include <cstdint>

struct AVFormatContext;

namespace brenvale::player {

struct StreamState;

struct WantedStreams {
    int audio = 0;  // counted from 0 within the kind; -1 = none
    int video = 0;
    int subtitle = -1;
    bool disable_audio = false;
    bool disable_video = false;  // also leaves subtitles out
};

struct ChosenStreams {
    int audio = -1;
    int video = -1;
    int subtitle = -1;
};

// The stream index chosen for each kind; every stream's discard level becomes "all".
ChosenStreams ChooseStreams(AVFormatContext& context, WantedStreams wanted);

void DecodeThread(StreamState& is);

// Play thread, on quit: stops the decoding thread (which closes the streams and the file).
void CloseStreamState(StreamState& is);

// Ignored while a request is pending.
void RequestSeek(StreamState& is, std::int64_t position, bool backward, bool by_bytes);

}  // namespace brenvale::player
