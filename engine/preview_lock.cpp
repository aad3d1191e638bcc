#include "engine/preview_lock.h"

namespace brenvale {

std::mutex& PreviewLock() {
    static std::mutex lock;
    return lock;
}

}  // namespace brenvale
