// The player component: plays one media file at a time with sound, into an SDL window of its
// own or through the owner's present interface.
//
// Threads: the owner's (main) thread calls every operation. The play thread runs the event
// loop, display refreshes, position tracking and the play-state events; the decoding, video
// and subtitle threads and SDL's audio thread belong to the pipeline (player/stream_state.h).
// - Settings marked "at open" are read on the main thread only: Open copies them into the
//   file's state, so changes reach the next file. The others are atomics the pipeline reads
//   while a file plays; those of the per-file group may also be reset on the play thread
//   (a close it asks for itself).
// - current_ is guarded by current_lock_, the log mailbox by mailbox_lock_, LastError by
//   error_lock_; the event flags, position and counters are atomics.
// - play_thread_, display_ (play thread while a file plays), window_, file_name_ and the
//   snapshot's converter and bitmap belong to the main thread; the hook converter to the
//   video thread.
// - Lock order: mailbox_lock_ before current_lock_; error_lock_ is a leaf. No lock is held
//   while waiting for another thread.
// - Every wait of the main thread (Open, Close, TogglePause, GetCurrentFrame) serves the
//   hand-offs of the pipeline and ends when the file closes; a pipeline thread that hands a
//   call to the main thread waits until it has run.
#pragma once

#include <atomic>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <thread>

#include "common/bitmap.h"
#include "common/picture_converter.h"
#include "player/open_settings.h"
#include "player/play_events.h"
#include "player/player_types.h"
#include "probe/av_probe.h"

struct AVFrame;
struct AVInputFormat;

namespace brenvale {

namespace player {
struct StreamState;
class Display;
}  // namespace player

class TCustomPlayer {
public:
    TCustomPlayer();
    virtual ~TCustomPlayer();
    TCustomPlayer(const TCustomPlayer&) = delete;
    TCustomPlayer& operator=(const TCustomPlayer&) = delete;

    bool LoadLibraries(const std::string& ALibraryPath);
    bool LibrariesLoaded() const;
    // AWindow null: the player opens an SDL window of its own (unless DisableDisplay).
    bool Open(const std::string& AFileName, IPicturePresenter* AWindow = nullptr);
    void Close(bool AWait);
    void TogglePause();
    void Seek(std::int64_t APTS);
    // The picture on screen (or about to be) as a 24-bit bitmap owned by the player.
    TBitmap& GetCurrentFrame(std::int64_t& APTS);
    TBitmap& GetCurrentFrame();
    // The owner's picture area changed size (present interface): the surface follows.
    void ResizeDisplay(int width, int height);

    float AspectRatio() const { return aspect_ratio_.load(); }
    void SetAspectRatio(float value);
    static std::string Version() { return "1.2b"; }
    TAVProbe& Probe() { return probe_; }
    std::string LastError() const;
    std::int64_t Position() const { return position_.load(); }
    std::int64_t CurrentPosition() const { return current_position_.load(); }
    const std::string& FileName() const { return file_name_; }
    bool Playing() const;
    bool Paused() const;
    TClockReading ReadClocks() const;

    // Settings.
    std::atomic<int> ScaleFlags{4};
    const AVInputFormat* InputFormat = nullptr;  // at open
    std::atomic<int> FullScreenWidth{0};         // set by Open
    std::atomic<int> FullScreenHeight{0};
    std::atomic<int> ScreenWidth{0};  // also set by OnFileOpen's handler and by the own window's resizing
    std::atomic<int> ScreenHeight{0};
    int FrameWidth = 0;  // at open
    int FrameHeight = 0;
    int FramePixFmt = -1;
    bool DisableAudio = false;  // at open
    bool DisableVideo = false;
    std::atomic<int> WantedAudioStream{0};  // at open; per-file group
    std::atomic<int> WantedVideoStream{0};
    std::atomic<int> WantedSubtitleStream{-1};
    bool SeekByBytes = false;
    bool DisableDisplay = false;  // at open
    int SyncType = 0;             // at open
    std::atomic<std::int64_t> StartTime{kNoTime};  // at open; per-file group
    // Decoder options, at open.
    int Debug = 0;
    int DebugMV = 0;
    std::atomic<bool> StepMode{false};
    int WorkaroundBugs = 1;
    bool Fast = false;
    bool GenPTS = false;
    int LowRes = 0;
    int IdctAlgo = 0;
    int SkipFrame = 0;
    int SkipIdct = 0;
    int SkipLoopFilter = 0;
    int ErrorRecognition = 1;
    int ErrorConcealment = 3;
    bool ReorderPTS = false;  // at open
    std::atomic<bool> FullScreen{false};
    std::string About;
    std::atomic<TAudioVolume> AudioVolume{kMaxAudioVolume};
    std::atomic<bool> Mute{false};
    std::atomic<std::int64_t> PlayLength{kNoTime};  // per-file group, as EndAction and FlipVertical
    std::atomic<int> EndAction{1};
    std::atomic<bool> FlipVertical{false};
    std::atomic<bool> Hook{false};

    TPositionEvent OnPosition;
    TPlayStateEvent OnState;
    TPlayerLogEvent OnLog;
    TFileOpenEvent OnFileOpen;
    THookEvent OnHook;

    // Used by the pipeline.
    void Log(TLogType type, const std::string& message, bool store = false);
    void SetLastError(const std::string& message);
    // Video thread: runs OnHook on the decoded picture and writes the result into the
    // overlay. False when the picture was not hooked (the caller converts it itself).
    bool RunPictureHook(player::StreamState& is, const AVFrame& picture, AVFrame& overlay, double pts);
    void TrackPosition(player::StreamState& is);
    player::PlayEvents& Events() { return events_; }
    std::atomic<std::int64_t> audio_callback_time{0};

protected:
    void ResetPerFileGroup();

private:
    bool StartSdl(bool with_video);
    void StopSdl();
    bool OpenStream(const std::string& file_name);
    void NotifyFileOpen(player::StreamState& is);
    std::int64_t ShownStartPosition(const player::StreamState& is) const;
    void PlayThreadBody();
    void EventLoop();
    void Refresh(player::StreamState& is);
    void CloseCurrentStream();
    void RaiseState(TPlayState state);
    void HookLog(const std::string& message);
    void DeliverLog(TLogType type, const std::string& message);
    void DeliverPendingLog();
    bool WaitOpening(player::StreamState& is);
    void JoinPlayThread();
    // Asks the event loop to close the file; the first request for a file resets the
    // per-file group, so settings made after it are kept for the next Open.
    void RequestClose(player::StreamState& is);
    player::OpenSettings OpenSettingsNow() const;
    std::shared_ptr<player::StreamState> Current() const;

    std::string file_name_;
    IPicturePresenter* window_ = nullptr;
    std::atomic<std::uint32_t> sdl_flags_{0};  // the SDL subsystems Open started

    mutable std::mutex current_lock_;
    std::shared_ptr<player::StreamState> current_;  // guarded by current_lock_

    player::PlayEvents events_;
    std::unique_ptr<player::Display> display_;  // play thread while a file plays
    std::thread play_thread_;
    std::atomic<bool> play_thread_done_{true};
    std::atomic<bool> events_enabled_{true};

    std::atomic<float> aspect_ratio_{0.0f};
    std::atomic<std::int64_t> position_{kNoTime};
    std::atomic<std::int64_t> current_position_{-1};

    mutable std::mutex error_lock_;
    std::string last_error_;  // guarded by error_lock_

    std::mutex mailbox_lock_;  // taken before current_lock_ when both are held
    TLogType mailbox_type_ = TLogType::ltInfo;  // the mailbox: guarded by mailbox_lock_
    std::string mailbox_message_;
    bool mailbox_pending_ = false;

    TAVProbe probe_;
    TPictureConverter snapshot_converter_;  // main thread
    TBitmap snapshot_;                      // main thread
    TPictureConverter hook_converter_;      // video thread while a file plays
};

class TFFPlayer final : public TCustomPlayer {};

}  // namespace brenvale
