#include <gtest/gtest.h>

#include "app/window/input_filter.h"

namespace brenvale {
namespace {

TEST(InputFilter, DialogFiltersKeepTheNamesAndSplitThePatterns) {
    const std::vector<std::string> filters = DialogNameFilters();
    ASSERT_EQ(filters.size(), 24u);
    EXPECT_TRUE(filters.front().starts_with("All Supported Files (*.avi *.mpeg *.mpg "));
    EXPECT_TRUE(filters.front().ends_with(" *.gif *.swf *.flv)"));
    EXPECT_EQ(filters[10], "Macromedia Flash Files (*.flv, *.swf) (*.flv *.swf)");
    EXPECT_EQ(filters.back(), "Windows Media Files(*.wma, *.wmv, *.asf, *.asx) (*.wma *.wmv *.asf *.asx)");
}

TEST(InputFilter, SupportedNamesFollowTheFirstEntry) {
    struct Case {
        const char* name;
        bool supported;
    };
    for (const Case& c : {Case{"clip.avi", true}, Case{"CLIP.MP4", true}, Case{"song.aiff", true},
                          Case{"movie.qt", true}, Case{"notes.txt", false}, Case{"clip.mkv", false},
                          Case{".avi", false}, Case{"archive.avi.zip", false}})
        EXPECT_EQ(IsSupportedFileName(c.name), c.supported) << c.name;
}

}  // namespace
}  // namespace brenvale
