#include "app/catalogue/format_catalogue.h"

#include <gtest/gtest.h>

#include "app/catalogue/format_presets.h"

namespace brenvale {
namespace {

TEST(FormatCatalogueTest, TheListHoldsTheTenEntriesWithTheSeparatorThird) {
    const std::vector<std::string> items = FormatListItems();
    ASSERT_GT(items.size(), 11u);
    EXPECT_EQ(items[0], "SWF - Flash Swf (*.swf)");
    EXPECT_EQ(items[1], "FLV - Flash Video (*.flv)");
    EXPECT_EQ(items[2], std::string(14, ' ') + std::string(41, '-'));
    EXPECT_EQ(items[10], "WMV - Windows Media Video (*.wmv)");
    for (std::size_t i = 0; i < items.size(); ++i)
        EXPECT_EQ(IsFormatSeparator(items[i]), i == 2 || i == 11) << items[i];
    EXPECT_EQ(FindCatalogueEntry(items[2]), nullptr);
}

TEST(FormatCatalogueTest, EntriesAreFoundByTheirExactTextWithExtensionAndPreset) {
    struct Expected {
        const char* list_text;
        const char* extension;
        int kind;
        const char* preset;
    };
    const Expected table[] = {
        {"SWF - Flash Swf (*.swf)", ".swf", 32, "Flash"},
        {"FLV - Flash Video (*.flv)", ".flv", 33, "Flash"},
        {"AVI - Audio Video Interleave (*.avi)", ".avi", 22, "AVI"},
        {"AVI - DivX Video (*.avi)", ".avi", 23, "DivX"},
        {"MP3 - Mpeg Layer3 Audio (*.mp3)", ".mp3", 41, "MP3"},
        {"MP4 - MPEG4 Video (*.mp4)", ".mp4", 27, "MP4"},
        {"MPEG-1 Movie (*.mpg)", ".mpg", 28, "MPEG-1"},
        {"MPEG-2 Movie (*.mpg)", ".mpg", 29, "MPEG-2"},
        {"MOV - QuickTime Video (*.mov)", ".mov", 26, "MOV"},
        {"WMV - Windows Media Video (*.wmv)", ".wmv", 31, "WMV"},
    };
    ASSERT_EQ(kFlashEraEntryCount, std::size(table));
    for (std::size_t i = 0; i < kFlashEraEntryCount; ++i) EXPECT_EQ(FormatCatalogue()[i].ListText, table[i].list_text);
    for (const Expected& expected : table) {
        const TheAVCodec* entry = FindCatalogueEntry(expected.list_text);
        ASSERT_NE(entry, nullptr) << expected.list_text;
        EXPECT_EQ(OutputExtension(*entry), expected.extension);
        EXPECT_EQ(entry->PresetKind, expected.kind);
        EXPECT_EQ(PresetFor(*entry).Name, expected.preset);
        EXPECT_EQ(IsAudioOnly(*entry), entry->Extension == "MP3");
    }
    EXPECT_EQ(FindCatalogueEntry("flv - flash video (*.flv)"), nullptr) << "the text must match exactly";
    EXPECT_THROW(PresetForKind(30), std::out_of_range);
}

}  // namespace
}  // namespace brenvale
