// Types the player shares with its owner: states, log types, events and the present interface.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

namespace brenvale {

class TBitmap;
class TCustomPlayer;

enum class TPlayState { psPlay, psPause, psResume, psStep, psStop, psEnd };
enum class TLogType { ltInfo, ltError };
using TAudioVolume = int;  // 0..128, 128 = full volume
inline constexpr TAudioVolume kMaxAudioVolume = 128;

// The library's no-time value (0x8000000000000000).
inline constexpr std::int64_t kNoTime = INT64_MIN;

using TFileOpenEvent = std::function<void(TCustomPlayer& Sender, std::int64_t ADuration, std::int32_t AFrameWidth,
                                          std::int32_t AFrameHeight, std::int32_t& AScreenWidth,
                                          std::int32_t& AScreenHeight)>;
using TPlayStateEvent = std::function<void(TCustomPlayer& Sender, TPlayState AState)>;
using TPositionEvent = std::function<void(TCustomPlayer& Sender, std::int64_t APTS)>;
using TPlayerLogEvent = std::function<void(TCustomPlayer& Sender, TLogType AType, const std::string& AMsg)>;
using THookEvent = std::function<void(TCustomPlayer& Sender, TBitmap& ABitmap, std::int64_t APTS)>;

// The pipeline's clocks at one moment, in seconds (for measurements).
struct TClockReading {
    bool playing = false;
    bool has_audio = false;
    bool has_video = false;
    double audio = 0;
    double video = 0;
    double last_frame_delay = 0;
    std::int64_t pictures_shown = 0;  // of the file so far
    std::int64_t samples_played = 0;  // sample frames of the file's sound handed to the sound device
};

// Where composed pictures go when the owner draws them itself (the Qt panel). Present runs on
// the play thread; the pixels are 32-bit words 0x00RRGGBB (bytes B, G, R, unused), rows of
// `pitch` bytes, valid only during the call: copy them and schedule the painting.
class IPicturePresenter {
public:
    virtual ~IPicturePresenter() = default;
    virtual void Present(const std::uint8_t* pixels, int width, int height, int pitch) = 0;
};

}  // namespace brenvale
