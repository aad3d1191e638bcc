// The owner's settings a file opens with. Open copies them into the file's state before the
// decoding thread starts, so the pipeline never reads the owner's fields while they may change.
#pragma once

#include <cstdint>

#include "player/player_types.h"

struct AVInputFormat;

namespace brenvale::player {

struct WantedStreams {
    int audio = 0;  // counted from 0 within the kind; -1 = none
    int video = 0;
    int subtitle = -1;
    bool disable_audio = false;
    bool disable_video = false;  // also leaves subtitles out
};

// Handed to each decoder.
struct DecoderOptions {
    int debug = 0;
    int workaround_bugs = 1;
    bool fast = false;
    int lowres = 0;
    int idct_algo = 0;
    int skip_frame = 0;
    int skip_idct = 0;
    int skip_loop_filter = 0;
    int error_recognition = 1;
    int error_concealment = 3;
};

struct OpenSettings {
    const AVInputFormat* input_format = nullptr;
    int frame_width = 0;
    int frame_height = 0;
    int frame_pix_fmt = -1;
    WantedStreams wanted;
    bool disable_display = false;
    std::int64_t start_time = kNoTime;  // µs from the file's start
    bool gen_pts = false;
    bool reorder_pts = false;
    int sync_type = 0;  // SyncType
    DecoderOptions decoder;
};

}  // namespace brenvale::player
