// Snapshots of the playing file: the .bmp files' names, their pictures read back, the pause
// around the capture and the folder checks.
#include <QImage>
#include <QLineEdit>

#include <algorithm>
#include <cstdlib>
#include <limits>

#include "app/window/play_panel.h"
#include "common/picture_converter.h"
#include "tests/support/media_reader.h"
#include "tests/support/test_media.h"
#include "tools/clip_catalogue.h"
#include "window_fixture.h"

namespace brenvale::testing {
namespace {

using namespace std::chrono_literals;
namespace clips = mediagen::clips;

bool AllBlack(const QImage& picture) {
    for (int y = 0; y < picture.height(); ++y)
        for (int x = 0; x < picture.width(); ++x)
            if (qGray(picture.pixel(x, y)) > 2) return false;
    return true;
}

// The largest colour difference between the picture and the nearest decoded frame of `source`.
int DistanceToNearestFrame(const QImage& picture, const std::string& source) {
    int nearest = std::numeric_limits<int>::max();
    ReadMedia(source, [&](int, const AVFrame& frame) {
        if (frame.width != picture.width() || frame.height != picture.height()) return;
        TPictureConverter converter;
        if (!converter.to_bitmap(TPictureRef{frame.data, frame.linesize, frame.format, frame.width, frame.height}))
            return;
        const TBitmap& decoded = converter.bitmap();
        int worst = 0;
        for (int y = 0; y < picture.height(); y += 3) {
            const std::uint8_t* row = decoded.ScanLine(y);
            for (int x = 0; x < picture.width(); x += 3) {
                const QRgb pixel = picture.pixel(x, y);
                worst = std::max({worst, std::abs(qBlue(pixel) - row[3 * x]), std::abs(qGreen(pixel) - row[3 * x + 1]),
                                  std::abs(qRed(pixel) - row[3 * x + 2])});
            }
        }
        nearest = std::min(nearest, worst);
    });
    return nearest;
}

class SnapshotTest : public WindowTest {
protected:
    // clip.avi in the test's folder, listed, selected and starting to play.
    void StartClip() {
        clip_ = folder_ / "clip.avi";
        std::filesystem::copy_file(TestClipPath(clips::kAviMpeg4Mp3), clip_);
        StartWindow();
        dialogs_.FilesToOpen = {QString::fromStdString(clip_.string())};
        Form().ButtonAddFileClick();
        List().selectRow(0);
        Form().ButtonPlayClick();
    }
    // Playing, with a picture shown on the panel.
    void PlayClip() {
        StartClip();
        ASSERT_TRUE(WaitFor([this] { return !Find<TPlayPanel>("sPanelPlay")->LastPlayback().isNull(); }, 20s));
    }
    std::filesystem::path Snapshot(const std::string& name) const { return output_folder_ / name; }

    std::filesystem::path clip_;
};

TEST_F(SnapshotTest, TwoSnapshotsOfClipAviAreClipBmpAndClip1Bmp) {
    PlayClip();
    UseOutputFolder();
    Form().ButtonSnapshotClick();
    Form().ButtonSnapshotClick();
    EXPECT_FALSE(Form().FFPlayer().Paused());  // the capture's pause is undone
    for (const char* name : {"clip.bmp", "clip-1.bmp"}) {
        const QImage picture(QString::fromStdString(Snapshot(name).string()), "BMP");
        ASSERT_FALSE(picture.isNull()) << name;
        // The source's own size, whatever the size of the picture area.
        EXPECT_EQ(picture.size(), QSize(320, 240)) << name;
        EXPECT_LE(DistanceToNearestFrame(picture, clip_.string()), 4) << name;
    }
    EXPECT_FALSE(std::filesystem::exists(Snapshot("clip-2.bmp")));
}

// Before the first picture has been written into it, the player's picture is black.
TEST_F(SnapshotTest, SnapshotBeforeTheFirstPictureIsBlackOrThatPicture) {
    StartClip();
    UseOutputFolder();
    ASSERT_TRUE(WaitFor([this] { return !Form().FFPlayer().GetCurrentFrame().Empty(); }, 20s));
    Form().ButtonSnapshotClick();
    const QImage picture(QString::fromStdString(Snapshot("clip.bmp").string()), "BMP");
    ASSERT_EQ(picture.size(), QSize(320, 240));
    EXPECT_TRUE(AllBlack(picture) || DistanceToNearestFrame(picture, clip_.string()) <= 4);
}

TEST_F(SnapshotTest, PausedPlaybackStaysPaused) {
    PlayClip();
    UseOutputFolder();
    Form().ButtonPauseClick();
    Form().ButtonSnapshotClick();
    EXPECT_TRUE(Form().FFPlayer().Paused());
    EXPECT_TRUE(std::filesystem::exists(Snapshot("clip.bmp")));
}

TEST_F(SnapshotTest, StoppedOrNotYetPlayedTakesNoSnapshot) {
    StartWindow();
    UseOutputFolder();
    AddClips({clips::kAviMpeg4Mp3});
    List().selectRow(0);
    Form().ButtonSnapshotClick();
    Form().ButtonPlayClick();
    Form().ButtonStopPlayClick();
    Form().ButtonSnapshotClick();
    EXPECT_TRUE(std::filesystem::is_empty(output_folder_));
}

TEST_F(SnapshotTest, FolderProblemsAreReportedAsForConvert) {
    PlayClip();
    const struct {
        QString Folder;
        QString Message;
    } cases[] = {
        {QString(), QStringLiteral("Please select an output folder!")},
        {QStringLiteral("/no/such/folder"), QStringLiteral("The output folder \"/no/such/folder\"\ndoes not exist or "
                                                           "has been deleted!\nPlease choose a new output folder.")},
    };
    for (const auto& problem : cases) {
        Find<QLineEdit>("EditOutputFolder")->setText(problem.Folder);
        dialogs_.BrowseHeadlines.clear();
        Form().ButtonSnapshotClick();
        EXPECT_EQ(CountInformations(problem.Message), 1) << problem.Folder.toStdString();
        EXPECT_EQ(dialogs_.BrowseHeadlines.size(), 1u);
    }
    EXPECT_FALSE(std::filesystem::exists(folder_ / "clip.bmp"));
}

TEST_F(SnapshotTest, AfterTheEndOfTheFileTheEmptyPictureIsSaved) {
    PlayClip();
    UseOutputFolder();
    ASSERT_TRUE(WaitFor(
        [this] { return Find<TPlayPanel>("sPanelPlay")->ShowingPlaceholder() && !Form().FFPlayer().Playing(); },
        30s));
    Form().ButtonSnapshotClick();
    // Headers only: no picture is shown any more.
    EXPECT_EQ(std::filesystem::file_size(Snapshot("clip.bmp")), 54u);
}

}  // namespace
}  // namespace brenvale::testing
