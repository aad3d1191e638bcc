#include "cli/info_command.h"

#include "app/catalogue/source_probe.h"
#include "app/catalogue/text_rules.h"

namespace brenvale::cli {
namespace {

std::string OrNone(const std::string& text) { return TrimBlanks(text).empty() ? "none" : text; }

}  // namespace

bool PrintFileInfo(TAVProbe& probe, const std::vector<std::string>& files, std::ostream& out,
                   std::ostream& errors) {
    bool all_opened = true;
    for (const std::string& file : files) {
        if (!probe.LoadFile(file)) {
            errors << "brenvale-cli: " << file << ": " << probe.LastError() << '\n';
            all_opened = false;
            continue;
        }
        const TSourceRow row = DescribeOpenFile(probe);
        out << file << '\n'
            << "  video size: " << OrNone(row.VideoSize) << '\n'
            << "  frame rate: " << OrNone(row.FrameRate) << '\n'
            << "  duration:   " << row.Duration << '\n'
            << "  streams:    " << probe.StreamCount() << " (video " << probe.VideoStreamCount() << ", audio "
            << probe.AudioStreamCount() << ", subtitle " << probe.SubtitleStreamCount() << ")\n";
        probe.Close();
    }
    return all_opened;
}

}  // namespace brenvale::cli
