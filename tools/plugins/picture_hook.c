/* A hook that changes the first plane of each picture: with no arguments it inverts every byte;
   "add N" or "mul N" adds N to or multiplies by N every byte (modulo 256). It also reports the
   current directory seen by its last "Configure" and how many contexts it released, so tests
   can check the loader. */
#include <stdint.h>
#include <stddef.h>
#include <stdlib.h>
#include <string.h>
#include <unistd.h>

#include "engine/video_hook_plugin.h"

typedef struct PictureHook {
    char operation;
    int operand;
} PictureHook;

static char configured_directory[4096];
static int release_count;

const char* HookConfiguredDirectory(void) { return configured_directory; }
int HookReleaseCount(void) { return release_count; }

int Configure(void** context, int argc, char* argv[], int argv_high) {
    (void)argv_high;
    if (!getcwd(configured_directory, sizeof configured_directory)) configured_directory[0] = 0;
    PictureHook* hook = calloc(1, sizeof *hook);
    if (!hook) return 1;
    hook->operation = 'i';
    if (argc >= 3) {
        hook->operation = strcmp(argv[1], "mul") == 0 ? 'm' : 'a';
        hook->operand = atoi(argv[2]);
    }
    *context = hook;
    return 0;
}

static uint8_t Apply(const PictureHook* hook, uint8_t value) {
    switch (hook->operation) {
    case 'a': return (uint8_t)(value + hook->operand);
    case 'm': return (uint8_t)(value * hook->operand);
    default: return (uint8_t)(255 - value);
    }
}

void Process(void* context, BrenvaleHookPicture* picture, int pix_fmt, int width, int height,
             int64_t pts) {
    (void)pix_fmt;
    (void)pts;
    const PictureHook* hook = context;
    for (int y = 0; y < height; ++y) {
        uint8_t* line = picture->data[0] + (ptrdiff_t)y * picture->linesize[0];
        for (int x = 0; x < width; ++x) line[x] = Apply(hook, line[x]);
    }
}

void Release(void* context) {
    free(context);
    ++release_count;
}
