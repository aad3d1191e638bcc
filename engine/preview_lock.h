// The process-wide preview lock: held by preview delivery and by changes of preview flags, in
// every engine. The engine holds it only for short steps, never while waiting for another
// thread, so the main thread may change flags even from within a preview handler; the main
// thread still takes it through LockServingMainThread, in case another holder waits for it.
#pragma once

#include <mutex>

namespace brenvale {

std::mutex& PreviewLock();

}  // namespace brenvale
