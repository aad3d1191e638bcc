// What the player tests share: loaded libraries, a present interface that keeps the last
// picture, recorded events and bounded waits that serve the main thread.
#pragma once

#include <gtest/gtest.h>

#include <chrono>
#include <cstdint>
#include <functional>
#include <mutex>
#include <string>
#include <vector>

#include "binding/library_loader.h"
#include "common/main_thread.h"
#include "player/ff_player.h"

namespace brenvale::testing {

// Keeps a copy of the last presented picture.
class RecordingPresenter : public IPicturePresenter {
public:
    void Present(const std::uint8_t* pixels, int width, int height, int pitch) override {
        const std::lock_guard<std::mutex> lock(mutex_);
        width_ = width;
        height_ = height;
        pixels_.resize(static_cast<std::size_t>(width) * height);
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x)
                pixels_[static_cast<std::size_t>(y) * width + x] =
                    reinterpret_cast<const std::uint32_t*>(pixels + static_cast<std::ptrdiff_t>(y) * pitch)[x] & 0xffffff;
        ++count_;
    }
    int Count() const {
        const std::lock_guard<std::mutex> lock(mutex_);
        return count_;
    }
    int Width() const {
        const std::lock_guard<std::mutex> lock(mutex_);
        return width_;
    }
    int Height() const {
        const std::lock_guard<std::mutex> lock(mutex_);
        return height_;
    }
    // Pixels of the last picture equal to `rgb` (0xRRGGBB).
    int CountPixels(std::uint32_t rgb) const {
        const std::lock_guard<std::mutex> lock(mutex_);
        int count = 0;
        for (std::uint32_t pixel : pixels_) count += pixel == rgb;
        return count;
    }
    std::uint32_t Pixel(int x, int y) const {
        const std::lock_guard<std::mutex> lock(mutex_);
        return pixels_[static_cast<std::size_t>(y) * width_ + x];
    }

private:
    mutable std::mutex mutex_;
    std::vector<std::uint32_t> pixels_;
    int width_ = 0;
    int height_ = 0;
    int count_ = 0;
};

// Events as the player raised them; guarded by mutex.
struct EventRecord {
    std::mutex mutex;
    std::vector<TPlayState> states;
    std::vector<std::int64_t> positions;
    std::vector<std::string> logs;
    int file_opens = 0;
    std::int64_t duration = 0;
    int frame_width = 0;
    int frame_height = 0;

    int CountState(TPlayState state) {
        const std::lock_guard<std::mutex> lock(mutex);
        int count = 0;
        for (TPlayState s : states) count += s == state;
        return count;
    }
};

inline void Record(TCustomPlayer& player, EventRecord& record) {
    player.OnState = [&record](TCustomPlayer&, TPlayState state) {
        const std::lock_guard<std::mutex> lock(record.mutex);
        record.states.push_back(state);
    };
    player.OnPosition = [&record](TCustomPlayer&, std::int64_t pts) {
        const std::lock_guard<std::mutex> lock(record.mutex);
        record.positions.push_back(pts);
    };
    player.OnLog = [&record](TCustomPlayer&, TLogType, const std::string& message) {
        const std::lock_guard<std::mutex> lock(record.mutex);
        record.logs.push_back(message);
    };
    player.OnFileOpen = [&record](TCustomPlayer&, std::int64_t duration, std::int32_t width, std::int32_t height,
                                  std::int32_t&, std::int32_t&) {
        const std::lock_guard<std::mutex> lock(record.mutex);
        ++record.file_opens;
        record.duration = duration;
        record.frame_width = width;
        record.frame_height = height;
    };
}

// Waits serving the main thread; false after `timeout`.
inline bool WaitFor(const std::function<bool()>& done,
                    std::chrono::milliseconds timeout = std::chrono::milliseconds(10000)) {
    return WaitServingMainThread(done, timeout);
}

// Lets time pass while the main thread serves the player's calls.
inline void Pause(std::chrono::milliseconds duration) {
    WaitServingMainThread([] { return false; }, duration);
}

class PlayerTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        ASSERT_TRUE(Loader().LoadLibrarySet(kConverterLibraries | kPlayerLibraries)) << Loader().LastError();
    }
};

}  // namespace brenvale::testing
