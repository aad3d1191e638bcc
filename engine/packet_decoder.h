// The reading and decoding side of a run for one input file: it reads the file's packets,
// repairs their times, keeps each stream's clock, decodes, and turns decoded sound into
// interleaved s16 at the chosen volume. What it makes goes to the packet loop as
// TDecodedPacket, which delivers it to the outputs.
//
// Threads: one thread at a time uses it: the job's thread, or the file's read-ahead thread while
// the packet loop runs. It owns the file's demuxer, its decoders and the clocks below; of the
// input streams' records it reads only what the set-up wrote, never the loop's own clock.
#pragma once

#include <cstdint>
#include <deque>
#include <memory>
#include <stop_token>
#include <string>
#include <vector>

#include "engine/audio_samples.h"
#include "engine/library_ptr.h"

struct AVSubtitle;

namespace brenvale {

class TCustomFFmpeg;
struct InputFile;
struct InputStream;

// Where an input stream stands, in µs: the data in hand, and where the next should start.
struct TStreamClock {
    std::int64_t pts = 0;
    std::int64_t next_pts = AV_NOPTS_VALUE;
};

struct SubtitleDeleter {
    void operator()(AVSubtitle* subtitle) const;
};
using SubtitlePtr = std::unique_ptr<AVSubtitle, SubtitleDeleter>;

// One decoded frame (or subtitle) with the stream's clock as it stood when the frame was in hand.
struct TDecodedUnit {
    FramePtr frame;
    SubtitlePtr subtitle;
    std::vector<std::uint8_t> samples;  // sound: interleaved s16 from the start position on
    TStreamClock clock;
    bool taken = true;  // false: sound that could not be converted
};

struct TDecodedPacket {
    bool end_of_file = false;  // the file ended or could not be read further
    int stream = -1;           // input stream number; -1 for a packet no output uses
    PacketPtr packet;          // with repaired times; none when a stream's decoder is drained
    TStreamClock clock;        // the stream's, once the packet was taken
    std::vector<TDecodedUnit> units;
    bool failed = false;       // the decoder refused the packet or a frame
    std::string notice;        // a time-stamp repair worth a log line
    // The memory held by its pictures and sound, for the read-ahead bound.
    std::size_t bytes() const;
};

class TPacketDecoder {
public:
    // `streams` are the run's input streams; the file's start at `file.first_stream`.
    TPacketDecoder(TCustomFFmpeg& engine, int file_index, const InputFile& file, const std::deque<InputStream>& streams);
    ~TPacketDecoder();
    TPacketDecoder(const TPacketDecoder&) = delete;
    TPacketDecoder& operator=(const TPacketDecoder&) = delete;

    // Reads the next packet and decodes it. A demuxer that asks to be called again is, until
    // `stop` is requested or the run is stopped; that ends the file's reading.
    TDecodedPacket next(std::stop_token stop = {});
    // The frames the stream's decoder still holds, as its input has ended.
    TDecodedPacket drain(int stream_number);

private:
    struct StreamState {
        TStreamClock clock;
        bool drained = false;
        TS16Converter s16;
    };

    void repair_times(AVPacket& packet, TDecodedPacket& out);
    void repair_discontinuity(AVPacket& packet, TDecodedPacket& out);
    void take_packet(const InputStream& ist, StreamState& state, const AVPacket& packet, TDecodedPacket& out);
    void decode(const InputStream& ist, StreamState& state, const AVPacket* packet, TDecodedPacket& out);
    void decode_subtitle(const InputStream& ist, StreamState& state, const AVPacket& packet, TDecodedPacket& out);
    bool take_sound(StreamState& state, TDecodedUnit& unit);
    void trim_before_start(TStreamClock& clock, TDecodedUnit& unit) const;
    const InputStream& stream(int number) const;
    StreamState& state(int number);

    TCustomFFmpeg& engine_;
    const int file_index_;
    const int first_stream_;
    const std::deque<InputStream>& streams_;
    std::vector<StreamState> states_;  // by stream index in the file
};

}  // namespace brenvale
