// The process-wide preview lock: held by preview delivery and by changes of preview flags,
// in every engine. Preview delivery waits for the main thread while holding it, so the main
// thread takes it only through LockServingMainThread.
#pragma once

#include <mutex>

namespace brenvale {

std::mutex& PreviewLock();

}  // namespace brenvale
