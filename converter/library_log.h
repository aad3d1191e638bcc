// The process-wide path of library log lines: one callback for all threads, which assembles
// complete lines per thread and hands each to every live converter component.
//
// Lock order: the live-component lock (process-wide, held for a whole callback call), then a
// component's event lock. The callback delivers lines while it holds the first, so whoever
// holds an event lock holds the live-component lock too (TEventGuard); a thread that logs
// while holding an event lock then cannot deadlock with one that delivers.
#pragma once

#include <mutex>

namespace brenvale {

class TConverter;

void AddLiveComponent(TConverter& component);
void RemoveLiveComponent(TConverter& component);

// Makes the library call the callback. The converter's libraries must be loaded.
void InstallLibraryLogCallback();
// Forgets the incomplete lines of every thread. The caller holds a TEventGuard.
void ClearLogList();

// Holds the live-component lock and then a component's event lock. On the main thread the wait
// serves main-thread calls, since a worker holding the locks may wait for the main thread.
class TEventGuard {
public:
    explicit TEventGuard(std::recursive_mutex& event_lock);

private:
    std::unique_lock<std::recursive_mutex> live_lock_;
    std::unique_lock<std::recursive_mutex> event_lock_;
};

}  // namespace brenvale
