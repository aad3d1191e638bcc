// Where the picture goes inside the picture area, and the size of the video window.
#pragma once

namespace brenvale::player {

struct Rect {
    int x = 0;
    int y = 0;
    int w = 0;
    int h = 0;
};

struct Size {
    int width = 0;
    int height = 0;
};

// The display aspect (width / height) for the player's AspectRatio: > 0 forced, 0 from the
// sample aspect ratios (stream first, then decoder; each a num/den pair), < 0 the area's own.
double DisplayAspect(double aspect_ratio, int stream_sar_num, int stream_sar_den, int codec_sar_num,
                     int codec_sar_den, int frame_width, int frame_height, int area_width, int area_height);

// The largest rectangle of that aspect centred in the area, with even width and height.
Rect PictureRect(double aspect, int area_left, int area_top, int area_width, int area_height);

// Size of the video window: full screen, the owner's screen size, the frame size, 640 x 480.
Size VideoWindowSize(bool full_screen, Size full_screen_size, Size screen_size, Size frame_size);

}  // namespace brenvale::player
