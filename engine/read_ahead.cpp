#include "engine/read_ahead.h"

#include <utility>

namespace brenvale {
namespace {

// Enough to keep the encoder fed across the decoder's uneven pace (B-frames arrive in bursts),
// little enough to leave the memory to the encoders: a few pictures of 720p, one of 4K.
constexpr std::size_t kMaxPackets = 16;
constexpr std::size_t kMaxBytes = std::size_t{12} << 20;

}  // namespace

TReadAhead::TReadAhead(TPacketDecoder& decoder)
    : decoder_(decoder), thread_([this](std::stop_token stop) { run(std::move(stop)); }) {}

TReadAhead::~TReadAhead() { stop(); }

bool TReadAhead::has_room() const { return queue_.empty() || (queue_.size() < kMaxPackets && bytes_ < kMaxBytes); }

void TReadAhead::run(std::stop_token stop) {
    for (;;) {
        {
            std::unique_lock lock(mutex_);
            if (!changed_.wait(lock, stop, [this] { return has_room(); })) return;
        }
        TDecodedPacket packet;
        std::exception_ptr error;
        try {
            packet = decoder_.next(stop);
        } catch (...) {
            error = std::current_exception();
        }
        const bool last = error || packet.end_of_file;
        {
            const std::lock_guard lock(mutex_);
            if (error) {
                error_ = error;
            } else {
                bytes_ += packet.bytes();
                queue_.push_back(std::move(packet));
            }
            ended_ = last;
        }
        changed_.notify_all();
        if (last) return;
    }
}

TDecodedPacket TReadAhead::take() {
    std::unique_lock lock(mutex_);
    changed_.wait(lock, [this] { return !queue_.empty() || ended_; });
    if (queue_.empty()) {
        if (error_) std::rethrow_exception(error_);
        TDecodedPacket end;
        end.end_of_file = true;
        return end;
    }
    TDecodedPacket packet = std::move(queue_.front());
    queue_.pop_front();
    bytes_ -= packet.bytes();
    lock.unlock();
    changed_.notify_all();
    return packet;
}

std::deque<TDecodedPacket> TReadAhead::stop() {
    if (thread_.joinable()) {
        thread_.request_stop();
        thread_.join();
    }
    const std::lock_guard lock(mutex_);
    bytes_ = 0;
    return std::exchange(queue_, {});
}

}  // namespace brenvale
