// The tables of one run: what every input file, input stream and output stream needs while the
// transcode runs. They live only for the run, on the job's worker thread.
#pragma once

#include <array>
#include <cstdint>
#include <vector>

extern "C" {
#include <libavutil/avutil.h>
#include <libavutil/rational.h>
}

#include "engine/audio_samples.h"
#include "engine/bitstream_filter_chain.h"
#include "engine/library_ptr.h"
#include "engine/picture_ops.h"
#include "engine/picture_pool.h"
#include "engine/picture_scaler.h"
#include "engine/video_filter_chain.h"

struct AVCodecContext;
struct AVStream;

namespace brenvale {

struct InputFile {
    bool at_eof = false;
    int first_stream = 0;  // number of the file's first stream in the input-stream table
    int stream_count = 0;
};

struct InputStream {
    int file_index = 0;
    int stream_index = 0;
    AVStream* stream = nullptr;
    AVCodecContext* decoder = nullptr;  // the engine's; opened by the run when decoding
    bool unmapped = true;
    bool needs_decoding = false;
    std::int64_t read_start = 0;             // wall clock when the run started (rate emulation), µs
    // The stream's clock as the decoding side had it for the data in hand (TStreamClock).
    std::int64_t next_pts = AV_NOPTS_VALUE;  // µs, expected for the next decoded data
    std::int64_t pts = 0;                    // µs, of the data in hand
    bool at_start = true;
    int quality = 0;  // of the last decoded picture
    TVideoFilterChain filters;  // configured when filters are enabled and the stream is re-encoded
};

// What the encoder reported about the last picture it coded.
struct TCodedFrame {
    int quality = 0;
    int pict_type = 0;
    bool key_frame = false;
    std::array<std::int64_t, 3> error{};  // squared error per plane, with the PSNR flag
};

struct OutputStream {
    int file_index = 0;
    int stream_index = 0;
    AVStream* stream = nullptr;
    AVCodecContext* encoder = nullptr;                         // the output's context: opened, or the copy parameters
    const TBitstreamFilterChain* bitstream_filters = nullptr;  // the output's, initialised by the run
    std::vector<AVBSFContext*> active_filters;  // those of the chain that took the stream
    int source = 0;                                            // number of the feeding input stream
    int sync_source = 0;                                       // number of the input stream whose time drives the sync
    bool stream_copy = false;
    bool cover = false;  // an attached picture: one packet, outside the output's timing
    bool needs_encoding = false;
    int frame_number = 0;
    bool finished = false;      // the recording time is reached: it takes nothing more
    std::int64_t sync_pts = 0;  // encoder time base: video frames, audio samples
    AVRational encoder_time_base{0, 1};
    std::int64_t muxed_end = 0;  // end of the last packet handed to the muxer, stream time base
    std::int64_t muxed_packets = 0;
    std::int64_t last_dts = AV_NOPTS_VALUE;  // of the last copied packet, stream time base
    TCodedFrame coded_frame;

    // Video
    bool needs_scaling = false;
    FramePtr scaled_picture;       // a fresh buffer per picture: the encoder may keep the last ones
    TPicturePool scaled_pictures;  // where those buffers come from
    FramePtr last_picture;         // the last one encoded, to hold while the next is not due
    TPictureScaler scaler;         // rebuilt when the decoded pictures change size or format
    bool crop_enabled = false;
    TPadding crop;  // rows and columns cut from each side of the decoded picture
    bool pad_enabled = false;
    TPadding padding;

    // Audio
    bool needs_resampling = false;
    TAudioResampler resampler;
    FifoPtr sample_fifo;                            // interleaved bytes waiting for a full encoder frame
    std::int64_t audio_frame_end = AV_NOPTS_VALUE;  // keeps frame times rising despite input jitter

    FilePtr pass_log_file;
};

}  // namespace brenvale
