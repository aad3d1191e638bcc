#include "player/waveform.h"

#include <cstdlib>

#include "player/stream_state.h"

namespace brenvale::player {
namespace {

constexpr int kTriggerSearch = 1000;

int Wrap(std::int64_t index) {
    const std::int64_t wrapped = index % kWaveformSamples;
    return static_cast<int>(wrapped < 0 ? wrapped + kWaveformSamples : wrapped);
}

// Where the samples now being heard start, minus half the area's width.
int StartIndex(StreamState& is, std::int64_t audio_callback_time) {
    if (is.paused) return is.last_i_start;
    const int channels = is.audio_channels;
    std::int64_t delay = (is.audio_buf_size - is.audio_buf_index) / (2 * channels);
    if (audio_callback_time) delay += (ff::av_gettime() - audio_callback_time) * is.audio_sample_rate / 1000000;
    delay -= is.area_width / 2;
    if (delay < is.area_width) delay = is.area_width;
    const int x = Wrap(is.sample_array_index.load(std::memory_order_relaxed) - delay * channels);
    is.last_i_start = FindTriggerPoint(is.sample_array, x, channels);
    return is.last_i_start;
}

void FillRect(SDL_Surface& surface, int x, int y, int w, int h, Uint32 colour) {
    SDL_Rect rect{x, y, w, h};
    sdl::SDL_FillRect(&surface, &rect, colour);
}

}  // namespace

int FindTriggerPoint(const std::vector<std::int16_t>& ring, int x, int channels) {
    int best = x;
    int best_score = 0;
    bool found = false;
    for (int i = 0; i < kTriggerSearch; i += channels) {
        const int index = Wrap(static_cast<std::int64_t>(x) - i);
        const int a = ring[index];
        const int b = ring[Wrap(index + 4 * channels)];
        const int c = ring[Wrap(index + 5 * channels)];
        const int d = ring[Wrap(index + 9 * channels)];
        const int score = a - d;
        if (b * c < 0 && (!found || score > best_score)) {
            best = index;
            best_score = score;
            found = true;
        }
    }
    return best;
}

void DrawWaveform(StreamState& is, SDL_Surface& surface, std::int64_t audio_callback_time) {
    const int channels = is.audio_channels;
    if (channels <= 0) return;
    int start = StartIndex(is, audio_callback_time);
    const Uint32 black = sdl::SDL_MapRGB(surface.format, 0, 0, 0);
    const Uint32 white = sdl::SDL_MapRGB(surface.format, 255, 255, 255);
    FillRect(surface, is.area_left, is.area_top, is.area_width, is.area_height, black);
    const int band = is.area_height / channels;
    const int scale = band * 9 / 20;
    for (int c = 0; c < channels; ++c) {
        int index = Wrap(start + c);
        const int middle = is.area_top + c * band + band / 2;
        for (int x = 0; x < is.area_width; ++x) {
            const int y = (is.sample_array[index] * scale) >> 15;
            if (y < 0) {
                FillRect(surface, is.area_left + x, middle + y, 1, -y, white);
            } else {
                FillRect(surface, is.area_left + x, middle, 1, y, white);
            }
            index = Wrap(index + channels);
        }
    }
    for (int c = 1; c < channels; ++c) FillRect(surface, is.area_left, is.area_top + c * band, is.area_width, 1, white);
}

}  // namespace brenvale::player
