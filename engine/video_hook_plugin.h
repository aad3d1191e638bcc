/* Entry points of a video hook plug-in (a shared object exporting them with C linkage).
   Any of the three may be missing; a plug-in without "Process" is refused. */
#ifndef BRENVALE_VIDEO_HOOK_PLUGIN_H
#define BRENVALE_VIDEO_HOOK_PLUGIN_H

#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

/* The picture a plug-in may change in place, in the decoder's pixel format. */
typedef struct BrenvaleHookPicture {
    uint8_t* data[4];
    int linesize[4];
} BrenvaleHookPicture;

/* Returns 0 on success. argv[0] is the plug-in path; argv_high is the highest index of argv. */
typedef int (*BrenvaleHookConfigure)(void** context, int argc, char* argv[], int argv_high);
/* pix_fmt is the library's pixel format number; pts is in microseconds of input time. */
typedef void (*BrenvaleHookProcess)(void* context, BrenvaleHookPicture* picture, int pix_fmt,
                                    int width, int height, int64_t pts);
typedef void (*BrenvaleHookRelease)(void* context);

#ifdef __cplusplus
}
#endif

#endif
