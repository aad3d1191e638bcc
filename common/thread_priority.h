// Thread priorities of the window framework's threads, applied as per-thread nice values.
#pragma once

#include <cstdint>

namespace brenvale {

enum class TThreadPriority { tpIdle, tpLowest, tpLower, tpNormal, tpHigher, tpHighest, tpTimeCritical };

// Kernel id of the calling thread (what the log callback and the job list compare).
std::uint32_t CurrentThreadId();

// The nice value a priority maps to; tpIdle also switches the thread to SCHED_IDLE.
int NiceValue(TThreadPriority priority);

// Applies a priority to a thread of this process. Raising a priority needs privileges the
// program normally lacks; such failures are ignored and the thread keeps its priority.
void SetThreadPriority(std::uint32_t thread_id, TThreadPriority priority);

}  // namespace brenvale
