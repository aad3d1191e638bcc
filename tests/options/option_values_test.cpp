#include "engine/option_values.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "engine/option_numbers.h"

namespace brenvale {
namespace {

struct IntegerCase {
    const char* text;
    bool valid;
    std::int64_t value;
};

TEST(OptionNumbers, IntegersAreDecimalOrDollarOrZeroXHexadecimalAndNothingElse) {
    const IntegerCase cases[] = {
        {"12", true, 12},          {"-7", true, -7},           {"+5", true, 5},
        {"$1F", true, 31},         {"0x1f", true, 31},         {"0X10", true, 16},
        {"-$10", true, -16},       {"2147483647", true, 2147483647},
        {"-2147483648", true, -2147483648LL},                  {"2147483648", false, 0},
        {"$80000000", false, 0},   {"", false, 0},             {"1.5", false, 0},
        {" 1", false, 0},          {"1 ", false, 0},           {"0x", false, 0},
        {"$", false, 0},           {"12a", false, 0},          {"-", false, 0},
        {"0x-1", false, 0},        {"99999999999999999999999", false, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        if (c.valid) {
            EXPECT_EQ(StrToInt(c.text), c.value);
        } else {
            try {
                StrToInt(c.text);
                ADD_FAILURE() << "accepted";
            } catch (const ConvertError& error) {
                EXPECT_EQ(std::string(error.what()), "'" + std::string(c.text) + "' is not a valid integer value");
            }
        }
    }
}

TEST(OptionNumbers, Int64CoversTheWholeRangeAndDefaultsOnlyReplaceFailures) {
    EXPECT_EQ(StrToInt64("9223372036854775807"), INT64_MAX);
    EXPECT_EQ(StrToInt64("-9223372036854775808"), INT64_MIN);
    EXPECT_EQ(StrToInt64("$7FFFFFFFFFFFFFFF"), INT64_MAX);
    EXPECT_THROW(StrToInt64("9223372036854775808"), ConvertError);
    EXPECT_EQ(StrToIntDef("x", -3), -3);
    EXPECT_EQ(StrToIntDef("0", -3), 0);
}

TEST(OptionNumbers, FloatsUseADotAndRejectEverythingElse) {
    EXPECT_DOUBLE_EQ(StrToFloat("1.5"), 1.5);
    EXPECT_DOUBLE_EQ(StrToFloat(" 2.5 "), 2.5);
    EXPECT_DOUBLE_EQ(StrToFloat("-3e2"), -300.0);
    EXPECT_DOUBLE_EQ(StrToFloat("+.5"), 0.5);
    for (const char* bad : {"abc", "", "1,5", "inf", "nan", "1.5x", "++1"}) {
        SCOPED_TRACE(bad);
        try {
            StrToFloat(bad);
            ADD_FAILURE() << "accepted";
        } catch (const ConvertError& error) {
            EXPECT_EQ(std::string(error.what()), "'" + std::string(bad) + "' is not a valid floating point value");
        }
    }
    EXPECT_DOUBLE_EQ(StrToFloatDef("abc", 0.0), 0.0);
}

TEST(OptionValues, StreamMapsSkipExactlyOneCharacterAfterEachNumber) {
    struct Case {
        const char* text;
        StreamMapValue expected;
    };
    const Case cases[] = {
        {"0.1", {0, 1, 0, 1}},       {"0:1:1:0", {0, 1, 1, 0}}, {"1.2:3.4", {1, 2, 3, 4}},
        {"0x10.010", {16, 8, 16, 8}}, {"2", {2, 0, 2, 0}},       {"0.1:", {0, 1, 0, 0}},
        {"", {0, 0, 0, 0}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        const StreamMapValue map = ParseStreamMap(c.text);
        EXPECT_EQ(map.file_index, c.expected.file_index);
        EXPECT_EQ(map.stream_index, c.expected.stream_index);
        EXPECT_EQ(map.sync_file_index, c.expected.sync_file_index);
        EXPECT_EQ(map.sync_stream_index, c.expected.sync_stream_index);
    }
    EXPECT_EQ(ParseMetadataMap("1:0"), (std::pair<int, int>{1, 0}));
    EXPECT_EQ(ParseTimeStampScale("3:1.5"), (std::pair<int, double>{3, 1.5}));
}

TEST(OptionValues, PadColoursConvertWithTheIntegerBt601Formulas) {
    struct Case {
        std::int32_t rgb;
        YuvColor yuv;
    };
    const Case cases[] = {{16777215, {255, 128, 128}}, {0, {0, 128, 128}},    {255, {76, 85, 255}},
                          {0x00FF00, {150, 43, 21}},   {0xFF0000, {29, 255, 107}}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.rgb);
        const YuvColor yuv = YuvFromRgb(c.rgb);
        EXPECT_EQ(yuv.y, c.yuv.y);
        EXPECT_EQ(yuv.u, c.yuv.u);
        EXPECT_EQ(yuv.v, c.yuv.v);
    }
}

std::string NumberList(int count, int first = 1) {
    std::string text;
    for (int i = 0; i < count; ++i) text += (i ? "," : "") + std::to_string(first + i);
    return text;
}

TEST(OptionValues, MatricesNeedSixtyFourCoefficients) {
    std::uint16_t matrix[64];
    EXPECT_EQ(ParseMatrix(NumberList(63), matrix), 62);
    EXPECT_EQ(ParseMatrix("", matrix), 0);

    EXPECT_EQ(ParseMatrix(NumberList(70), matrix), -1);
    EXPECT_EQ(matrix[0], 1);
    EXPECT_EQ(matrix[63], 64);

    EXPECT_EQ(ParseMatrix("0x10, $20,x," + NumberList(61, 4), matrix), -1);
    EXPECT_EQ(matrix[0], 16);
    EXPECT_EQ(matrix[1], 32);
    EXPECT_EQ(matrix[2], 0);
    EXPECT_EQ(matrix[3], 4);
}

TEST(OptionValues, HookWordsSplitAtBarsWhenThereIsOneElseAtSpaces) {
    using Words = std::vector<std::string>;
    EXPECT_EQ(SplitHookWords("hook.so a  b"), (Words{"hook.so", "a", "b"}));
    EXPECT_EQ(SplitHookWords("/my dir/hook.so|a b||c"), (Words{"/my dir/hook.so", "a b", "c"}));
    EXPECT_EQ(SplitHookWords(""), Words{});
}

TEST(OptionValues, OptionListsTrimTheTextNormaliseBreaksAndSplitAtTheFirstEquals) {
    using Lines = std::vector<std::pair<std::string, std::string>>;
    EXPECT_EQ(SplitOptionList("  \r\n y\r\nb=128\rmetadata=title=a=b \n vn\n"),
              (Lines{{"y", ""}, {"b", "128"}, {"metadata", "title=a=b "}, {" vn", ""}}));
    EXPECT_EQ(SplitOptionList(" \n\t "), Lines{});
    EXPECT_EQ(SplitOptionList("a\n\nb"), (Lines{{"a", ""}, {"", ""}, {"b", ""}}));
}

}  // namespace
}  // namespace brenvale
