// The preview window itself: a small stay-on-top tool window that shows one bitmap at its
// origin and can be dragged by any point. Main thread only.
#pragma once

#include <functional>

#include <QImage>
#include <QPoint>
#include <QWidget>

namespace brenvale {

class TBitmap;

class TPreviewForm : public QWidget {
public:
    // Client size of width x height, centred on the screen; `on_close` runs when the user closes it.
    TPreviewForm(int width, int height, std::function<void()> on_close);

    // Copies the bitmap: it is valid only while the caller waits.
    void ShowBitmap(const TBitmap& bitmap);

protected:
    void paintEvent(QPaintEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    void centre_on_screen();

    std::function<void()> on_close_;
    QImage picture_;
    bool dragging_ = false;
    QPoint drag_offset_;  // from the window's position to the cursor
};

}  // namespace brenvale
