#include "cli/progress_display.h"

#include <sys/ioctl.h>
#include <unistd.h>

namespace brenvale::cli {
namespace {

constexpr auto kPlainInterval = std::chrono::seconds(1);

int TerminalWidth(int descriptor) {
    winsize size{};
    if (ioctl(descriptor, TIOCGWINSZ, &size) == 0 && size.ws_col > 0) return size.ws_col;
    return 80;
}

}  // namespace

TProgressDisplay::TProgressDisplay(std::FILE* stream, bool live, int width)
    : stream_(stream), live_(live), width_(width) {}

TProgressDisplay TProgressDisplay::ForStandardError() {
    const bool terminal = isatty(STDERR_FILENO) == 1;
    return TProgressDisplay(stderr, terminal, terminal ? TerminalWidth(STDERR_FILENO) : 0);
}

void TProgressDisplay::Log(const std::string& line) {
    const std::lock_guard<std::mutex> lock(mutex_);
    erase_block();
    std::fprintf(stream_, "%s\n", line.c_str());
    draw_block();
}

void TProgressDisplay::Show(const std::vector<std::string>& lines) {
    const std::lock_guard<std::mutex> lock(mutex_);
    lines_ = lines;
    if (live_) {
        erase_block();
        draw_block();
        return;
    }
    const auto now = std::chrono::steady_clock::now();
    if (lines_.empty() || now - last_plain_ < kPlainInterval) return;
    last_plain_ = now;
    for (const std::string& line : lines_) std::fprintf(stream_, "%s\n", line.c_str());
    std::fflush(stream_);
}

void TProgressDisplay::Finish() {
    const std::lock_guard<std::mutex> lock(mutex_);
    lines_.clear();
    erase_block();
}

void TProgressDisplay::erase_block() {
    // Up one line and clear it, once per drawn line: the cursor ends where the block began.
    for (; drawn_lines_ > 0; --drawn_lines_) std::fputs("\x1b[1A\x1b[2K", stream_);
    std::fflush(stream_);
}

void TProgressDisplay::draw_block() {
    if (!live_) return;
    // A wrapped line would take two rows and break the count of lines to erase.
    const std::size_t columns = width_ > 1 ? static_cast<std::size_t>(width_ - 1) : 79;
    for (const std::string& line : lines_) {
        std::fprintf(stream_, "%s\n", line.substr(0, columns).c_str());
        ++drawn_lines_;
    }
    std::fflush(stream_);
}

}  // namespace brenvale::cli
