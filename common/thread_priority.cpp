#include "common/thread_priority.h"

#include <sched.h>
#include <sys/resource.h>
#include <sys/syscall.h>
#include <unistd.h>

namespace brenvale {

std::uint32_t CurrentThreadId() { return static_cast<std::uint32_t>(::syscall(SYS_gettid)); }

int NiceValue(TThreadPriority priority) {
    switch (priority) {
        case TThreadPriority::tpIdle: return 19;
        case TThreadPriority::tpLowest: return 10;
        case TThreadPriority::tpLower: return 5;
        case TThreadPriority::tpNormal: return 0;
        case TThreadPriority::tpHigher: return -5;
        case TThreadPriority::tpHighest: return -10;
        case TThreadPriority::tpTimeCritical: return -20;
    }
    return 0;
}

void SetThreadPriority(std::uint32_t thread_id, TThreadPriority priority) {
    const auto tid = static_cast<pid_t>(thread_id);
    const sched_param no_static_priority{};
    const int policy = priority == TThreadPriority::tpIdle ? SCHED_IDLE : SCHED_OTHER;
    // Best effort by design: see the header.
    (void)::sched_setscheduler(tid, policy, &no_static_priority);
    (void)::setpriority(PRIO_PROCESS, static_cast<id_t>(tid), NiceValue(priority));
}

}  // namespace brenvale
