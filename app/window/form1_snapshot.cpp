// Snapshot: the picture on the playback panel saved as a .bmp file in the output folder,
// named after the source, with the "Snap" sound.
#include <QFileInfo>
#include <QLineEdit>

#include <algorithm>
#include <filesystem>

#include "app/catalogue/output_naming.h"
#include "app/window/dialogs.h"
#include "app/window/form1.h"
#include "app/window/snap_sound.h"
#include "common/bitmap_file.h"

namespace brenvale {
namespace {

// The player overwrites its bitmap with the next call: the snapshot keeps its own copy.
void CopyBitmap(const TBitmap& from, TBitmap& to) {
    to.SetSize(from.Width(), from.Height());
    for (int row = 0; row < from.Height(); ++row)
        std::copy_n(from.ScanLine(row), from.Stride(), to.ScanLine(row));
}

}  // namespace

void TForm1::ButtonSnapshotClick() {
    if (converting_ || playback_stopped_ || ListView1->SelectedRow() < 0) return;
    if (!output_folder_usable()) return;
    const QString name = snapshot_name();
    TBitmap picture;
    CopyBitmap(FFPlayer_.GetCurrentFrame(), picture);
    // Held still while the sound plays and the file is written.
    const bool paused_here = picture.Width() > 0 && !playback_paused_;
    if (paused_here) FFPlayer_.TogglePause();
    PlaySnapSound();
    save_snapshot(picture, name);
    if (paused_here) FFPlayer_.TogglePause();
}

// The source's name with ".bmp", or with "-1", "-2", ... before it when taken.
QString TForm1::snapshot_name() const {
    const QString path = EditOutputFolder->text().trimmed() + '/' + QFileInfo(selected_file_).fileName();
    return QString::fromStdString(UniqueOutputName(path.toStdString(), ".bmp"));
}

// A file that could not be written completely is not left behind as if it were a snapshot.
void TForm1::save_snapshot(const TBitmap& picture, const QString& name) {
    if (SaveBitmapFile(picture, name.toStdString())) return;
    std::error_code ignored;
    std::filesystem::remove(name.toStdString(), ignored);
    dialogs_.Information(this, QStringLiteral("The snapshot could not be saved as \"%1\".").arg(name));
}

}  // namespace brenvale
