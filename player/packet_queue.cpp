#include "player/packet_queue.h"

namespace brenvale::player {

void PacketQueue::Put(const AVPacket& packet) {
    PacketPtr copy = MakePacket();
    if (!copy || ff::av_packet_ref(copy.get(), &packet) < 0) return;
    const std::int64_t bytes = copy->size + kPacketEntryBytes;
    Append(Entry{std::move(copy)}, bytes);
}

void PacketQueue::PutFlush() { Append(Entry{}, kPacketEntryBytes); }

void PacketQueue::Append(Entry entry, std::int64_t bytes) {
    {
        const std::lock_guard<std::mutex> lock(mutex_);
        entries_.push_back(std::move(entry));
        size_ += bytes;
    }
    cond_.notify_one();
}

PacketQueue::GetResult PacketQueue::Get(AVPacket& packet, bool& is_flush, bool block) {
    std::unique_lock<std::mutex> lock(mutex_);
    for (;;) {
        if (abort_) return GetResult::Aborted;
        if (!entries_.empty()) {
            Entry entry = std::move(entries_.front());
            entries_.pop_front();
            is_flush = !entry.packet;
            size_ -= (entry.packet ? entry.packet->size : 0) + kPacketEntryBytes;
            if (entry.packet) ff::av_packet_move_ref(&packet, entry.packet.get());
            return GetResult::Packet;
        }
        if (!block) return GetResult::Empty;
        cond_.wait(lock);
    }
}

void PacketQueue::Abort() {
    {
        const std::lock_guard<std::mutex> lock(mutex_);
        abort_ = true;
    }
    cond_.notify_all();
}

void PacketQueue::Flush() {
    const std::lock_guard<std::mutex> lock(mutex_);
    entries_.clear();
    size_ = 0;
}

void PacketQueue::Start() {
    const std::lock_guard<std::mutex> lock(mutex_);
    entries_.clear();
    size_ = 0;
    abort_ = false;
}

bool PacketQueue::Aborted() const {
    const std::lock_guard<std::mutex> lock(mutex_);
    return abort_;
}

int PacketQueue::Count() const {
    const std::lock_guard<std::mutex> lock(mutex_);
    return static_cast<int>(entries_.size());
}

std::int64_t PacketQueue::Size() const {
    const std::lock_guard<std::mutex> lock(mutex_);
    return size_;
}

}  // namespace brenvale::player
