// A queue of demuxed packets between the decoding thread and one decoder, with two markers:
// the flush marker of a seek (the decoder resets and takes the seek's serial and target) and
// the end of the input (the decoder gives out what it still holds).
//
// Threads: the decoding thread puts, one decoder thread (video, subtitle or SDL's audio
// thread) gets. Everything is guarded by mutex_, a leaf lock; Get blocks on cond_ until an
// item arrives or the queue is aborted.
#pragma once

#include <condition_variable>
#include <cstdint>
#include <deque>
#include <mutex>

#include "player/library_ptr.h"
#include "player/player_types.h"

namespace brenvale::player {

// Byte accounting per entry on top of the packet's data size.
inline constexpr int kPacketEntryBytes = 72;

enum class QueueItemKind { Packet, Flush, End };

// What Get took besides the packet itself.
struct QueueItem {
    QueueItemKind kind = QueueItemKind::Packet;
    int serial = 0;                // Flush: the seek it belongs to
    std::int64_t skip_to_us = kNoTime;  // Flush: what comes before it is decoded, not played
};

class PacketQueue {
public:
    enum class GetResult { Aborted = -1, Empty = 0, Item = 1 };

    // Takes the packet's reference (the caller's packet is left blank).
    void Put(AVPacket& packet);
    void PutFlush(int serial, std::int64_t skip_to_us);
    void PutEnd();
    // Moves the next packet into `packet` (untouched for a marker); `item` says what it was.
    GetResult Get(AVPacket& packet, QueueItem& item, bool block);
    void Abort();
    // Frees every queued packet.
    void Flush();
    // Clears the abort flag and empties the queue, for the next file; durations of its
    // packets are in `time_base`.
    void Start(AVRational time_base);

    bool Aborted() const;
    int Count() const;
    std::int64_t Size() const;
    // Playing time of the queued packets, microseconds (packets without a duration add none).
    std::int64_t DurationUs() const;

private:
    struct Entry {
        PacketPtr packet;  // null for a marker
        QueueItem item;
    };

    void Append(Entry entry);
    std::int64_t Bytes(const Entry& entry) const;
    std::int64_t Duration(const Entry& entry) const;

    mutable std::mutex mutex_;
    std::condition_variable cond_;
    std::deque<Entry> entries_;
    std::int64_t size_ = 0;
    std::int64_t duration_ = 0;  // in time_base_
    AVRational time_base_{1, 1000000};
    bool abort_ = false;
};

}  // namespace brenvale::player
