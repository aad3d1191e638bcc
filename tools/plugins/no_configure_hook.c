/* A hook with "Process" only: usable when it is given no arguments. It sets every byte of the
   first plane to 7. */
#include <stddef.h>

#include "engine/video_hook_plugin.h"

void Process(void* context, BrenvaleHookPicture* picture, int pix_fmt, int width, int height,
             int64_t pts) {
    (void)context;
    (void)pix_fmt;
    (void)pts;
    for (int y = 0; y < height; ++y) {
        unsigned char* line = picture->data[0] + (ptrdiff_t)y * picture->linesize[0];
        for (int x = 0; x < width; ++x) line[x] = 7;
    }
}
