// Reading and decoding of one input file on a thread of its own, ahead of the packet loop, so
// that the next packets are decoded while the current pictures are scaled and encoded.
//
// Threads: the read-ahead thread runs the file's TPacketDecoder and puts what it decoded at the
// back of a bounded queue; the job's thread takes from the front, in the order read, and is the
// only one to start and stop it. One mutex guards the queue, the byte count and the end flag;
// nothing else is locked while it is held, and nothing is decoded under it. After `stop` the
// decoder belongs to the job's thread again.
#pragma once

#include <condition_variable>
#include <cstddef>
#include <deque>
#include <exception>
#include <mutex>
#include <thread>

#include "engine/packet_decoder.h"

namespace brenvale {

class TReadAhead {
public:
    explicit TReadAhead(TPacketDecoder& decoder);
    ~TReadAhead();
    TReadAhead(const TReadAhead&) = delete;
    TReadAhead& operator=(const TReadAhead&) = delete;

    // The next packet, decoded; waits for it. Raises what the decoding raised.
    TDecodedPacket take();
    // Ends the thread and hands back what it decoded ahead, in order. Waits for a read in
    // progress.
    std::deque<TDecodedPacket> stop();

private:
    void run(std::stop_token stop);
    bool has_room() const;

    TPacketDecoder& decoder_;
    std::mutex mutex_;
    std::condition_variable_any changed_;
    std::deque<TDecodedPacket> queue_;
    std::size_t bytes_ = 0;
    bool ended_ = false;  // the thread put its last packet (the file's end) or an error
    std::exception_ptr error_;
    std::jthread thread_;  // last: it starts once everything above is in place
};

}  // namespace brenvale
