#include "engine/preview_window.h"

#include <mutex>
#include <utility>

namespace brenvale {
namespace {

std::mutex factory_lock;
TPreviewWindowFactory installed_factory;  // guarded by factory_lock

}  // namespace

void SetPreviewWindowFactory(TPreviewWindowFactory factory) {
    const std::lock_guard<std::mutex> lock(factory_lock);
    installed_factory = std::move(factory);
}

std::unique_ptr<TPreviewWindow> CreatePreviewWindow() {
    TPreviewWindowFactory factory;
    {
        const std::lock_guard<std::mutex> lock(factory_lock);
        factory = installed_factory;
    }
    return factory ? factory() : nullptr;
}

}  // namespace brenvale
