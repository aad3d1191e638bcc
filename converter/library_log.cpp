#include "converter/library_log.h"

#include <algorithm>
#include <cinttypes>
#include <cstdarg>
#include <cstdint>
#include <cstdio>
#include <string>
#include <utility>
#include <vector>

#include "binding/media_api.h"
#include "common/c_locale.h"
#include "common/log_levels.h"
#include "common/main_thread.h"
#include "common/thread_priority.h"
#include "converter/converter.h"

namespace brenvale {
namespace {

constexpr std::size_t kLogBufferSize = 2048;  // a message with its pending text, cut beyond

// The incomplete last line of one thread.
struct TLogItem {
    std::uint32_t ThreadID = 0;  // 0: free
    std::string Text;
};

class TLogList {
public:
    TLogItem& ItemFor(std::uint32_t thread_id) {
        TLogItem& first = items_.front();
        if (first.ThreadID == 0 || first.ThreadID == thread_id) {
            first.ThreadID = thread_id;
            return first;
        }
        const auto found = std::find_if(items_.begin() + 1, items_.end(),
                                        [thread_id](const TLogItem& item) { return item.ThreadID == thread_id; });
        if (found != items_.end()) return *found;
        return *items_.insert(items_.begin() + 1, TLogItem{thread_id, {}});
    }
    void Clear() { items_.assign(1, TLogItem{}); }

private:
    std::vector<TLogItem> items_{1};
};

// Never destroyed: detached job threads may still log while the process exits.
struct TLogPath {
    std::recursive_mutex live_lock;
    std::vector<TConverter*> live_components;  // guarded by live_lock
    TLogList log_list;                         // guarded by live_lock
};

TLogPath& Path() {
    static TLogPath* path = new TLogPath;
    return *path;
}

// "[item name @ class address]" of a library context; empty when it has no class.
std::string context_prefix(void* context) {
    const AVClass* av_class = *static_cast<const AVClass* const*>(context);
    if (!av_class) return {};
    const char* name = av_class->item_name ? av_class->item_name(context) : av_class->class_name;
    char prefix[256];
    std::snprintf(prefix, sizeof prefix, "[%s @ %08" PRIXPTR "]", name ? name : "",
                  reinterpret_cast<std::uintptr_t>(av_class));
    return prefix;
}

struct TComposedText {
    std::string text;
    bool cut = false;  // the buffer could not hold all of it
};

TComposedText compose(const std::string& pending, void* context, const char* format, va_list arguments) {
    const std::string start = pending.empty() && context ? context_prefix(context) : pending;
    char text[kLogBufferSize] = {};
    const TCLocaleScope c_numbers;  // "29.97 fps" on every desktop
    const std::size_t used = start.copy(text, kLogBufferSize - 1);
    const int written = std::vsnprintf(text + used, kLogBufferSize - used, format, arguments);
    return {text, start.size() + static_cast<std::size_t>(std::max(written, 0)) >= kLogBufferSize};
}

// Removes the complete lines from `text` and returns them without their line feeds.
std::vector<std::string> take_lines(std::string& text) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    for (std::size_t end = text.find('\n'); end != std::string::npos; end = text.find('\n', start)) {
        lines.push_back(text.substr(start, end - start));
        start = end + 1;
    }
    text.erase(0, start);
    return lines;
}

void library_log_callback(void* context, int level, const char* format, va_list arguments) {
    const int program_level = ProgramLogLevel(level);
    if (program_level > LogThreshold()) return;
    TLogPath& path = Path();
    const std::unique_lock<std::recursive_mutex> lock = LockServingMainThread(path.live_lock);
    const std::uint32_t thread_id = CurrentThreadId();
    auto [text, cut] = compose(path.log_list.ItemFor(thread_id).Text, context, format, arguments);
    std::vector<std::string> lines = take_lines(text);
    // A cut text ends its line: pending, it would fill the buffer and no line feed could follow.
    if (cut && !text.empty()) lines.push_back(std::exchange(text, {}));
    // Stored before delivering: a handler may log from this thread again.
    path.log_list.ItemFor(thread_id).Text = text;
    for (const std::string& line : lines) {
        // By index: a handler may destroy a component, which leaves the list.
        for (std::size_t index = 0; index < path.live_components.size(); ++index) {
            path.live_components[index]->DeliverLibraryLine(program_level, line, context);
        }
    }
}

}  // namespace

void AddLiveComponent(TConverter& component) {
    const std::unique_lock<std::recursive_mutex> lock = LockServingMainThread(Path().live_lock);
    Path().live_components.push_back(&component);
}

void RemoveLiveComponent(TConverter& component) {
    const std::unique_lock<std::recursive_mutex> lock = LockServingMainThread(Path().live_lock);
    std::erase(Path().live_components, &component);
}

void InstallLibraryLogCallback() { ff::av_log_set_callback(library_log_callback); }

void ClearLogList() { Path().log_list.Clear(); }

TEventGuard::TEventGuard(std::recursive_mutex& event_lock)
    : live_lock_(LockServingMainThread(Path().live_lock)), event_lock_(LockServingMainThread(event_lock)) {}

}  // namespace brenvale
