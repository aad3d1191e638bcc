#include "app/window/snap_sound.h"

#include <QFile>

#include <chrono>

#include "binding/library_loader.h"
#include "binding/sdl_api.h"
#include "binding/sdl_start.h"
#include "common/main_thread.h"

namespace brenvale {
namespace {

// Longer than any sound, so that a device that stopped consuming cannot hold the window.
constexpr std::chrono::milliseconds kLongestWait{3000};

QByteArray SnapResource() {
    QFile file(QStringLiteral(":/Snap"));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// The device's own buffer still sounds after the queue has been handed over.
std::chrono::milliseconds DeviceLatency(const SDL_AudioSpec& format) {
    return std::chrono::milliseconds(format.freq > 0 ? 1000 * format.samples / format.freq + 1 : 0);
}

void PlayOn(const SDL_AudioSpec& wanted, const Uint8* samples, Uint32 length) {
    SDL_AudioSpec obtained{};
    const SDL_AudioDeviceID device = sdl::SDL_OpenAudioDevice(nullptr, 0, &wanted, &obtained, 0);
    if (device == 0) return;
    if (sdl::SDL_QueueAudio(device, samples, length) == 0) {
        sdl::SDL_PauseAudioDevice(device, 0);
        WaitServingMainThread([device] { return sdl::SDL_GetQueuedAudioSize(device) == 0; }, kLongestWait);
        WaitServingMainThread([] { return false; }, DeviceLatency(obtained));
    }
    sdl::SDL_CloseAudioDevice(device);
}

}  // namespace

void PlaySnapSound() {
    if (!Loader().IsLibraryLoaded(LibraryId::Sdl)) return;
    const QByteArray wav = SnapResource();
    if (wav.isEmpty() || StartSdlSubsystems(SDL_INIT_AUDIO) != 0) return;
    SDL_AudioSpec format{};
    Uint8* samples = nullptr;
    Uint32 length = 0;
    SDL_RWops* source = sdl::SDL_RWFromConstMem(wav.constData(), static_cast<int>(wav.size()));
    if (source && sdl::SDL_LoadWAV_RW(source, 1, &format, &samples, &length)) {
        PlayOn(format, samples, length);
        sdl::SDL_FreeWAV(samples);
    }
    sdl::SDL_QuitSubSystem(SDL_INIT_AUDIO);
}

}  // namespace brenvale
