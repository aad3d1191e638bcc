// The text of one running file's progress.
#pragma once

#include <cstdint>
#include <string>

namespace brenvale::cli {

struct TProgressFigures {
    int Percent = -1;  // -1 when the length is not known
    int Frames = -1;   // -1 before the first picture (or without video)
    std::string Speed;  // as the window shows it (progress_figures.h); empty when not known yet
    std::int64_t SizeBytes = 0;
    std::int64_t ElapsedMs = 0;
    std::int64_t RemainingMs = -1;  // -1 when it cannot be told
};

// "clip.mp4  45%  frame 120  60 fps  1.2 MB  elapsed 00:02  left 00:03"
std::string FormatProgressLine(const std::string& name, const TProgressFigures& figures);

}  // namespace brenvale::cli
