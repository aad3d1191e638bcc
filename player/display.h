// Composes what the play thread shows on a software surface of the picture area's size
// (black, the picture scaled into its rectangle with its subtitles, or the waveform) and
// presents it in the player's own SDL window or through the owner's present interface.
//
// Play thread only, apart from construction and destruction while no file plays.
#pragma once

#include <optional>

#include "player/library_ptr.h"
#include "player/play_events.h"
#include "player/player_types.h"

namespace brenvale::player {

struct StreamState;

class Display {
public:
    // presenter null: an own SDL window.
    Display(TCustomPlayer& player, IPicturePresenter* presenter);
    ~Display();
    Display(const Display&) = delete;
    Display& operator=(const Display&) = delete;

    // Opens (or re-sizes) the window and the surface; false (logged) when there is none.
    bool OpenVideoWindow(StreamState& is);
    // A new surface of the given size; the player's screen size follows.
    void Resize(StreamState& is, int width, int height);
    // Draws the waveform or the queued picture and presents it.
    void Show(StreamState& is);
    // The own window's events (close, resize, expose), if any.
    std::optional<PlayEvent> PollWindowEvent();

private:
    bool CreateSurface(StreamState& is, int width, int height);
    void DrawPicture(StreamState& is);
    void Present();

    TCustomPlayer& player_;
    IPicturePresenter* presenter_;
    WindowPtr window_;
    SurfacePtr surface_;
    SwsPtr scaler_;
};

}  // namespace brenvale::player
