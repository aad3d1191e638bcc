/* A hook that lacks "Process": the loader must refuse it. */
#include "engine/video_hook_plugin.h"

int Configure(void** context, int argc, char* argv[], int argv_high) {
    (void)argc;
    (void)argv;
    (void)argv_high;
    *context = 0;
    return 0;
}

void Release(void* context) { (void)context; }
