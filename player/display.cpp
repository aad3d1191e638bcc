#include "player/display.h"

#include "player/display_geometry.h"
#include "player/ff_player.h"
#include "player/stream_state.h"
#include "player/subtitles.h"
#include "player/waveform.h"

namespace brenvale::player {
namespace {

// The surface's 32-bit pixels in the scaler's terms (bytes B, G, R, unused).
constexpr AVPixelFormat kSurfaceFormat = AV_PIX_FMT_BGR0;

// The size of the last allocated picture, else the stream's.
Size FrameSize(StreamState& is) {
    if (!is.video_st) return {};
    {
        const std::lock_guard<std::mutex> lock(is.picture_mutex);
        if (is.picture.width > 0) return Size{is.picture.width, is.picture.height};
    }
    return Size{is.video_st->codecpar->width, is.video_st->codecpar->height};
}

}  // namespace

Display::Display(TCustomPlayer& player, IPicturePresenter* presenter) : player_(player), presenter_(presenter) {}

Display::~Display() = default;

bool Display::OpenVideoWindow(StreamState& is) {
    const Size size = VideoWindowSize(player_.FullScreen, {player_.FullScreenWidth, player_.FullScreenHeight},
                                      {player_.ScreenWidth, player_.ScreenHeight}, FrameSize(is));
    if (!presenter_ && !window_) {
        const Uint32 flags = player_.FullScreen ? SDL_WINDOW_FULLSCREEN : SDL_WINDOW_RESIZABLE;
        window_.reset(sdl::SDL_CreateWindow("Brenvale", SDL_WINDOWPOS_UNDEFINED, SDL_WINDOWPOS_UNDEFINED,
                                            size.width, size.height, flags));
    } else if (window_) {
        sdl::SDL_SetWindowSize(window_.get(), size.width, size.height);
    }
    if ((!presenter_ && !window_) || !CreateSurface(is, size.width, size.height)) {
        player_.Log(TLogType::ltError, "SDL: could not set video mode.");
        return false;
    }
    return true;
}

bool Display::CreateSurface(StreamState& is, int width, int height) {
    surface_.reset(sdl::SDL_CreateRGBSurfaceWithFormat(0, width, height, 32, SDL_PIXELFORMAT_XRGB8888));
    if (!surface_) return false;
    is.area_width = surface_->w;
    is.area_height = surface_->h;
    return true;
}

void Display::Resize(StreamState& is, int width, int height) {
    if (width <= 0 || height <= 0 || !CreateSurface(is, width, height)) return;
    player_.ScreenWidth = width;
    player_.ScreenHeight = height;
}

void Display::Show(StreamState& is) {
    const bool waveform = is.audio_st && is.show_audio;
    if (!waveform && !is.video_st) return;
    if (!surface_ && !OpenVideoWindow(is)) return;
    if (waveform) {
        DrawWaveform(is, *surface_, player_.audio_callback_time.load());
    } else if (is.video_st) {
        DrawPicture(is);
    }
    Present();
}

void Display::DrawPicture(StreamState& is) {
    const std::lock_guard<std::mutex> lock(is.overlay_mutex);
    AVFrame* overlay = is.picture.overlay.get();
    if (!overlay) return;
    const double aspect = DisplayAspect(player_.AspectRatio(), is.video_st->sample_aspect_ratio.num,
                                        is.video_st->sample_aspect_ratio.den, overlay->sample_aspect_ratio.num,
                                        overlay->sample_aspect_ratio.den, overlay->width, overlay->height,
                                        is.area_width, is.area_height);
    YuvPlanes planes{{overlay->data[0], overlay->data[1], overlay->data[2]},
                     {overlay->linesize[0], overlay->linesize[1], overlay->linesize[2]},
                     overlay->width,
                     overlay->height};
    BlendDueSubpicture(is, planes, is.picture.pts);
    const Rect rect = PictureRect(aspect, is.area_left, is.area_top, is.area_width, is.area_height);
    sdl::SDL_FillRect(surface_.get(), nullptr, sdl::SDL_MapRGB(surface_->format, 0, 0, 0));
    if (rect.w <= 0 || rect.h <= 0) return;
    scaler_.reset(ff::sws_getCachedContext(scaler_.release(), overlay->width, overlay->height, AV_PIX_FMT_YUV420P,
                                           rect.w, rect.h, kSurfaceFormat, player_.ScaleFlags, nullptr, nullptr,
                                           nullptr));
    if (!scaler_) return;
    std::uint8_t* target[4] = {static_cast<std::uint8_t*>(surface_->pixels) + rect.y * surface_->pitch + rect.x * 4};
    const int target_linesize[4] = {surface_->pitch};
    ff::sws_scale(scaler_.get(), overlay->data, overlay->linesize, 0, overlay->height, target, target_linesize);
}

void Display::Present() {
    if (presenter_) {
        presenter_->Present(static_cast<const std::uint8_t*>(surface_->pixels), surface_->w, surface_->h,
                            surface_->pitch);
        return;
    }
    SDL_Surface* screen = sdl::SDL_GetWindowSurface(window_.get());
    if (!screen) return;
    sdl::SDL_UpperBlit(surface_.get(), nullptr, screen, nullptr);
    sdl::SDL_UpdateWindowSurface(window_.get());
}

std::optional<PlayEvent> Display::PollWindowEvent() {
    SDL_Event event;
    while (sdl::SDL_PollEvent(&event)) {
        if (event.type == SDL_QUIT) return PlayEvent{PlayEventKind::SdlQuit};
        if (event.type != SDL_WINDOWEVENT) continue;
        if (event.window.event == SDL_WINDOWEVENT_SIZE_CHANGED)
            return PlayEvent{PlayEventKind::Resize, event.window.data1, event.window.data2};
        if (event.window.event == SDL_WINDOWEVENT_EXPOSED) return PlayEvent{PlayEventKind::Expose};
    }
    return std::nullopt;
}

}  // namespace brenvale::player
