// Progress on standard error: on a terminal, a block of live lines (one per running file)
// redrawn in place; otherwise plain lines at most once a second.
#pragma once

#include <chrono>
#include <cstdio>
#include <mutex>
#include <string>
#include <vector>

namespace brenvale::cli {

class TProgressDisplay {
public:
    // `live`: redraw in place (a terminal); `width`: its columns, lines are cut to fit.
    TProgressDisplay(std::FILE* stream, bool live, int width);
    // For standard error: live when it is a terminal.
    static TProgressDisplay ForStandardError();

    // Any thread: a log line, printed above the live block.
    void Log(const std::string& line);
    // The running files' lines, as often as the caller likes.
    void Show(const std::vector<std::string>& lines);
    // Clears the live block.
    void Finish();

private:
    void erase_block();
    void draw_block();

    std::FILE* stream_;
    bool live_;
    int width_;
    std::mutex mutex_;  // guards everything below
    std::vector<std::string> lines_;
    int drawn_lines_ = 0;
    std::chrono::steady_clock::time_point last_plain_{};
};

}  // namespace brenvale::cli
