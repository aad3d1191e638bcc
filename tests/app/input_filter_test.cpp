#include <gtest/gtest.h>

#include "app/window/input_filter.h"

namespace brenvale {
namespace {

TEST(InputFilter, DialogFiltersKeepTheNamesAndSplitThePatterns) {
    const std::vector<std::string> filters = DialogNameFilters();
    ASSERT_EQ(filters.size(), 31u);
    EXPECT_TRUE(filters.front().starts_with("All Supported Files (*.avi *.mpeg *.mpg "));
    EXPECT_NE(filters.front().find(" *.gif *.swf *.flv *.mkv "), std::string::npos);
    EXPECT_EQ(filters[11], "Macromedia Flash Files (*.flv, *.swf) (*.flv *.swf)");
    EXPECT_EQ(filters[29], "Windows Media Files(*.wma, *.wmv, *.asf, *.asx) (*.wma *.wmv *.asf *.asx)");
    EXPECT_EQ(filters.back(), "All Files (*) (*)");
    // Every media file an entry offers is among the supported ones, so a dropped folder adds it
    // too (a cue sheet only names the tracks of an audio file).
    for (const TInputFilterEntry& entry : InputFilterEntries()) {
        for (const std::string& pattern : FilterPatterns(entry)) {
            if (pattern == "*" || pattern == "*.cue") continue;
            EXPECT_TRUE(IsSupportedFileName("clip" + pattern.substr(1))) << pattern;
        }
    }
}

TEST(InputFilter, SupportedNamesFollowTheFirstEntry) {
    struct Case {
        const char* name;
        bool supported;
    };
    for (const Case& c : {Case{"clip.avi", true}, Case{"CLIP.MP4", true}, Case{"song.aiff", true},
                          Case{"movie.qt", true}, Case{"notes.txt", false}, Case{"clip.mkv", true},
                          Case{"talk.WEBM", true}, Case{"phone.3gp", true}, Case{"camera.MTS", true},
                          Case{"disc.m2ts", true}, Case{"song.opus", true}, Case{"song.flac", true},
                          Case{"clip.ogv", true}, Case{"clip.m4v", true}, Case{"broadcast.ts", true},
                          Case{".avi", false}, Case{"archive.avi.zip", false}, Case{"picture.png", false}})
        EXPECT_EQ(IsSupportedFileName(c.name), c.supported) << c.name;
}

}  // namespace
}  // namespace brenvale
