// The picture area of the playback panel: the placeholder picture when nothing is shown, the
// preview frames of the running conversion, or the player's pictures, each stretched over the
// whole area.
//
// Threads: window thread only, except Present, which the player's play thread calls; the
// frame it copies is guarded by frame_lock_.
#pragma once

#include <mutex>

#include <QImage>
#include <QWidget>

#include "player/player_types.h"

class QLabel;

namespace brenvale {

class TBitmap;

class TPlayPanel : public QWidget, public IPicturePresenter {
public:
    explicit TPlayPanel(QWidget* parent);

    // Copies the bitmap (valid only during the caller's call) and draws it over the area.
    void ShowPreview(const TBitmap& bitmap);
    void ShowPlaceholder();
    // Hides the placeholder; the player's pictures are drawn from then on.
    void ShowPlayback();
    bool ShowingPreview() const { return mode_ == TMode::Preview; }
    bool ShowingPlaceholder() const { return mode_ == TMode::Placeholder; }
    bool ShowingPlayback() const { return mode_ == TMode::Playback; }
    // The last preview frame drawn, kept after the placeholder returns.
    const QImage& LastPreview() const { return preview_; }
    // A copy of the player's last picture (empty before the first).
    QImage LastPlayback() const;

    // Play thread: copies the picture and asks the window thread to paint it.
    void Present(const std::uint8_t* pixels, int width, int height, int pitch) override;

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    enum class TMode { Placeholder, Preview, Playback };

    void set_mode(TMode mode);

    QLabel* Image1 = nullptr;
    QImage preview_;
    TMode mode_ = TMode::Placeholder;
    mutable std::mutex frame_lock_;
    QImage frame_;  // guarded by frame_lock_
};

}  // namespace brenvale
