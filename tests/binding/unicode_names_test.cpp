#include "binding/unicode_names.h"

#include <gtest/gtest.h>

#include <clocale>
#include <string>

namespace brenvale {
namespace {

struct NameCase {
    const char* locale;
    std::string name;
    std::string library_name;
};

class ToLibraryNameTest : public ::testing::TestWithParam<NameCase> {};

TEST_P(ToLibraryNameTest, MapsNamesTheLocaleCannotHoldAndKeepsTheRest) {
    const NameCase& c = GetParam();
    const std::string previous = std::setlocale(LC_CTYPE, nullptr);
    ASSERT_NE(std::setlocale(LC_CTYPE, c.locale), nullptr) << c.locale;
    EXPECT_EQ(ToLibraryName(c.name), c.library_name);
    EXPECT_EQ(FromLibraryName(ToLibraryName(c.name)), c.name);
    std::setlocale(LC_CTYPE, previous.c_str());
}

INSTANTIATE_TEST_SUITE_P(
    Names, ToLibraryNameTest,
    ::testing::Values(
        NameCase{"C", "/home/user/Videos/a.avi", "/home/user/Videos/a.avi"},
        NameCase{"C", "http://example.invalid/caf\u00e9.flv", "http://example.invalid/caf\u00e9.flv"},
        NameCase{"C", "udp://239.0.0.1:1234", "udp://239.0.0.1:1234"},
        NameCase{"C", "/tmp/caf\u00e9 \u65e5\u672c.mp4", "unicode:utf8:/tmp/caf\u00e9 \u65e5\u672c.mp4"},
        // Protocol names are matched in exact case: this is a file name with a colon.
        NameCase{"C", "HTTP:caf\u00e9", "unicode:utf8:HTTP:caf\u00e9"},
        NameCase{"C", "ftp:caf\u00e9", "unicode:utf8:ftp:caf\u00e9"},
        NameCase{"C.UTF-8", "/tmp/caf\u00e9 \u65e5\u672c.mp4", "/tmp/caf\u00e9 \u65e5\u672c.mp4"},
        // Bytes that are no UTF-8 are the file system's own name already.
        NameCase{"C", "/tmp/\xff\xfe.avi", "/tmp/\xff\xfe.avi"}),
    [](const ::testing::TestParamInfo<NameCase>& info) { return "case" + std::to_string(info.index); });

TEST(FromLibraryNameTest, StripsThePrefixOnlyWhenANameFollows) {
    EXPECT_EQ(FromLibraryName("unicode:utf8:/a/\u00e9.avi"), "/a/\u00e9.avi");
    EXPECT_EQ(FromLibraryName("unicode:utf8:"), "unicode:utf8:");
    EXPECT_EQ(FromLibraryName("/plain/name.avi"), "/plain/name.avi");
    EXPECT_FALSE(IsUnicodeName("unicode:utf8:"));
    EXPECT_TRUE(IsUnicodeName("unicode:utf8:x"));
}

}  // namespace
}  // namespace brenvale
