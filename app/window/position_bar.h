// The playback panel's position row: a slider that follows playback and seeks when it is
// dragged, clicked or moved with the keys, and the time as position / duration.
//
// Window thread only.
#pragma once

#include <cstdint>

#include <QString>
#include <QWidget>

class QLabel;
class QSlider;

namespace brenvale {

// "m:ss / m:ss", or "h:mm:ss / h:mm:ss" for a file of an hour or more; the position alone when
// the duration is unknown (negative). Whole seconds, rounded down.
QString PlayTimeText(std::int64_t position_us, std::int64_t duration_us);

class TPositionBar : public QWidget {
    Q_OBJECT

public:
    explicit TPositionBar(QWidget* parent);

    // A file opened; `duration_us` 0 or less: it cannot be sought in.
    void Start(std::int64_t duration_us);
    // Where playback stands; ignored while the user holds the slider.
    void SetPosition(std::int64_t position_us);
    // Nothing plays.
    void Clear();
    bool Seekable() const;

signals:
    void SeekRequested(std::int64_t position_us);

protected:
    void resizeEvent(QResizeEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    void show_time(std::int64_t position_us);
    void place_controls();
    void seek_to_slider();
    void slider_action(int action);

    QSlider* TrackBarPosition = nullptr;
    QLabel* LabelPosition = nullptr;
    std::int64_t duration_us_ = 0;
};

}  // namespace brenvale
