#include "player/packet_queue.h"

namespace brenvale::player {

void PacketQueue::Put(AVPacket& packet) {
    PacketPtr copy = MakePacket();
    if (!copy) {
        ff::av_packet_unref(&packet);
        return;
    }
    ff::av_packet_move_ref(copy.get(), &packet);
    Append(Entry{std::move(copy), QueueItem{}});
}

void PacketQueue::PutFlush(int serial, std::int64_t skip_to_us) {
    Append(Entry{nullptr, QueueItem{QueueItemKind::Flush, serial, skip_to_us}});
}

void PacketQueue::PutEnd() { Append(Entry{nullptr, QueueItem{QueueItemKind::End}}); }

std::int64_t PacketQueue::Bytes(const Entry& entry) const {
    return (entry.packet ? entry.packet->size : 0) + kPacketEntryBytes;
}

std::int64_t PacketQueue::Duration(const Entry& entry) const {
    return entry.packet && entry.packet->duration > 0 ? entry.packet->duration : 0;
}

void PacketQueue::Append(Entry entry) {
    {
        const std::lock_guard<std::mutex> lock(mutex_);
        size_ += Bytes(entry);
        duration_ += Duration(entry);
        entries_.push_back(std::move(entry));
    }
    cond_.notify_one();
}

PacketQueue::GetResult PacketQueue::Get(AVPacket& packet, QueueItem& item, bool block) {
    std::unique_lock<std::mutex> lock(mutex_);
    for (;;) {
        if (abort_) return GetResult::Aborted;
        if (!entries_.empty()) {
            Entry entry = std::move(entries_.front());
            entries_.pop_front();
            size_ -= Bytes(entry);
            duration_ -= Duration(entry);
            item = entry.item;
            if (entry.packet) ff::av_packet_move_ref(&packet, entry.packet.get());
            return GetResult::Item;
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
    duration_ = 0;
}

void PacketQueue::Start(AVRational time_base) {
    const std::lock_guard<std::mutex> lock(mutex_);
    entries_.clear();
    size_ = 0;
    duration_ = 0;
    time_base_ = time_base;
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

std::int64_t PacketQueue::DurationUs() const {
    const std::lock_guard<std::mutex> lock(mutex_);
    return ff::av_rescale_q(duration_, time_base_, AVRational{1, 1000000});
}

}  // namespace brenvale::player
