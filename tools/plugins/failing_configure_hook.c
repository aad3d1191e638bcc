/* A hook whose "Configure" always fails with 1. */
#include "engine/video_hook_plugin.h"

int Configure(void** context, int argc, char* argv[], int argv_high) {
    (void)context;
    (void)argc;
    (void)argv;
    (void)argv_high;
    return 1;
}

void Process(void* context, BrenvaleHookPicture* picture, int pix_fmt, int width, int height,
             int64_t pts) {
    (void)context;
    (void)picture;
    (void)pix_fmt;
    (void)width;
    (void)height;
    (void)pts;
}
