// The picture area of the playback panel: the placeholder picture when nothing is shown, or
// the preview frames of the running conversion stretched over the whole area. Window thread only.
#pragma once

#include <QImage>
#include <QWidget>

class QLabel;

namespace brenvale {

class TBitmap;

class TPlayPanel : public QWidget {
public:
    explicit TPlayPanel(QWidget* parent);

    // Copies the bitmap (valid only during the caller's call) and draws it over the area.
    void ShowPreview(const TBitmap& bitmap);
    void ShowPlaceholder();
    bool ShowingPreview() const { return showing_preview_; }
    // The last preview frame drawn, kept after the placeholder returns.
    const QImage& LastPreview() const { return preview_; }

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    QLabel* Image1 = nullptr;
    QImage preview_;
    bool showing_preview_ = false;
};

}  // namespace brenvale
