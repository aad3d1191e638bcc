// A queue of demuxed packets between the decoding thread and one decoder.
//
// Threads: the decoding thread puts, one decoder thread (video, subtitle or SDL's audio
// thread) gets. Everything is guarded by mutex_; Get blocks on cond_ until a packet arrives
// or the queue is aborted.
#pragma once

#include <condition_variable>
#include <cstdint>
#include <deque>
#include <mutex>

#include "player/library_ptr.h"

namespace brenvale::player {

// Byte accounting per entry on top of the packet's data size.
inline constexpr int kPacketEntryBytes = 72;

class PacketQueue {
public:
    enum class GetResult { Aborted = -1, Empty = 0, Packet = 1 };

    // Takes a reference to the packet's data (the caller keeps its own packet).
    void Put(const AVPacket& packet);
    // Queues the flush marker: the decoder resets when it meets it.
    void PutFlush();
    // Moves the next packet into `packet`; `is_flush` tells the marker apart.
    GetResult Get(AVPacket& packet, bool& is_flush, bool block);
    void Abort();
    // Frees every queued packet.
    void Flush();
    // Clears the abort flag and empties the queue, for the next file.
    void Start();

    bool Aborted() const;
    int Count() const;
    std::int64_t Size() const;

private:
    struct Entry {
        PacketPtr packet;  // null for the flush marker
    };

    void Append(Entry entry, std::int64_t bytes);

    mutable std::mutex mutex_;
    std::condition_variable cond_;
    std::deque<Entry> entries_;
    std::int64_t size_ = 0;
    bool abort_ = false;
};

}  // namespace brenvale::player
