#include "player/ff_player.h"

#include <chrono>

#include "binding/library_loader.h"
#include "binding/sdl_api.h"
#include "binding/sdl_start.h"
#include "common/main_thread.h"
#include "player/decode_thread.h"
#include "player/display.h"
#include "player/stream_state.h"
#include "player/text_utils.h"

namespace brenvale {
namespace {

constexpr auto kOpenPoll = std::chrono::milliseconds(10);
constexpr int kFirstRefreshMs = 40;

}  // namespace

TCustomPlayer::TCustomPlayer() { ResetPerFileGroup(); }

TCustomPlayer::~TCustomPlayer() {
    events_enabled_ = false;
    Close(true);
}

bool TCustomPlayer::LoadLibraries(const std::string& ALibraryPath) {
    Loader().SetLibraryFolder(ALibraryPath);
    if (Loader().LoadLibrarySet(kPlayerLibraries)) return true;
    SetLastError(Loader().LastError());
    return false;
}

bool TCustomPlayer::LibrariesLoaded() const { return Loader().AreLibrariesLoaded(kPlayerLibraries); }

std::string TCustomPlayer::LastError() const {
    const std::lock_guard<std::mutex> lock(error_lock_);
    return last_error_;
}

void TCustomPlayer::SetLastError(const std::string& message) {
    const std::lock_guard<std::mutex> lock(error_lock_);
    last_error_ = message;
}

std::shared_ptr<player::StreamState> TCustomPlayer::Current() const {
    const std::lock_guard<std::mutex> lock(current_lock_);
    return current_;
}

bool TCustomPlayer::Playing() const { return Current() != nullptr; }

bool TCustomPlayer::Paused() const {
    const std::shared_ptr<player::StreamState> is = Current();
    return is && is->paused;
}

void TCustomPlayer::ResetPerFileGroup() {
    position_ = kNoTime;
    current_position_ = -1;
    WantedAudioStream = 0;
    WantedVideoStream = 0;
    WantedSubtitleStream = -1;
    StartTime = kNoTime;
    PlayLength = kNoTime;
    EndAction = 1;
    FlipVertical = false;
}

// Timer, events and (for an own window) video are needed; sound is optional, so a machine
// without a sound device still plays pictures.
bool TCustomPlayer::StartSdl(bool with_video) {
    const Uint32 flags = SDL_INIT_TIMER | (with_video ? SDL_INIT_VIDEO : SDL_INIT_EVENTS);
    if (StartSdlSubsystems(flags) != 0) {
        const std::string message = "Could not initialize SDL: " + player::Trimmed(sdl::SDL_GetError());
        Log(TLogType::ltError, message, true);
        return false;
    }
    Uint32 started = flags;
    if (StartSdlSubsystems(SDL_INIT_AUDIO) == 0) started |= SDL_INIT_AUDIO;
    sdl_flags_ = started;
    return true;
}

// Only what Open started: other users of SDL in the process (the snapshot sound) keep theirs.
void TCustomPlayer::StopSdl() {
    const std::uint32_t flags = sdl_flags_.exchange(0);
    if (flags) sdl::SDL_QuitSubSystem(flags);
}

bool TCustomPlayer::Open(const std::string& AFileName, IPicturePresenter* AWindow) {
    if (!LibrariesLoaded()) {
        Log(TLogType::ltError, "libav or libsdl not loaded.", true);
        return false;
    }
    Close(true);
    if (DisableDisplay) DisableVideo = true;
    const bool own_window = !AWindow && !DisableDisplay;
    if (!StartSdl(own_window)) return false;
    if (own_window) {
        SDL_DisplayMode mode{};
        if (sdl::SDL_GetCurrentDisplayMode(0, &mode) == 0) {
            FullScreenWidth = mode.w;
            FullScreenHeight = mode.h;
        }
        sdl::SDL_EventState(SDL_MOUSEMOTION, SDL_IGNORE);
        sdl::SDL_EventState(SDL_SYSWMEVENT, SDL_IGNORE);
    }
    window_ = AWindow;
    display_ = std::make_unique<player::Display>(*this, AWindow);
    player::Display* display = display_.get();
    events_.Reset(own_window ? player::PlayEvents::Pump([display] { return display->PollWindowEvent(); })
                             : player::PlayEvents::Pump());
    snapshot_converter_.reset();
    hook_converter_.reset();
    if (!OpenStream(AFileName)) {
        events_.Reset(nullptr);
        display_.reset();
        StopSdl();
        return false;
    }
    file_name_ = AFileName;
    const std::shared_ptr<player::StreamState> is = Current();
    probe_.Attach(is->format_context);
    NotifyFileOpen(*is);
    is->seek_shown_position = ShownStartPosition(*is);
    play_thread_done_ = false;
    play_thread_ = std::thread(&TCustomPlayer::PlayThreadBody, this);
    return true;
}

player::OpenSettings TCustomPlayer::OpenSettingsNow() const {
    player::OpenSettings settings;
    settings.input_format = InputFormat;
    settings.frame_width = FrameWidth;
    settings.frame_height = FrameHeight;
    settings.frame_pix_fmt = FramePixFmt;
    settings.wanted = {WantedAudioStream, WantedVideoStream, WantedSubtitleStream, DisableAudio, DisableVideo};
    settings.disable_display = DisableDisplay;
    settings.start_time = StartTime;
    settings.gen_pts = GenPTS;
    settings.reorder_pts = ReorderPTS;
    settings.sync_type = SyncType;
    settings.decoder = {Debug,    WorkaroundBugs, Fast,           LowRes,           IdctAlgo,
                        SkipFrame, SkipIdct,      SkipLoopFilter, ErrorRecognition, ErrorConcealment};
    return settings;
}

bool TCustomPlayer::OpenStream(const std::string& file_name) {
    auto is = std::make_shared<player::StreamState>();
    is->owner = this;
    is->file_name = file_name;
    is->settings = OpenSettingsNow();
    events_.ScheduleRefresh(kFirstRefreshMs);
    is->decode_thread = std::thread(player::DecodeThread, std::ref(*is));
    if (!WaitOpening(*is)) {
        is->decode_thread.join();
        ResetPerFileGroup();
        return false;
    }
    {
        const std::lock_guard<std::mutex> mailbox(mailbox_lock_);
        const std::lock_guard<std::mutex> lock(current_lock_);
        current_ = std::move(is);
    }
    DeliverPendingLog();
    return true;
}

// Serves main-thread calls and the log mailbox until the decoding thread has opened the file
// or given up; true when it opened.
bool TCustomPlayer::WaitOpening(player::StreamState& is) {
    const auto serve_while = [&](int state) {
        while (is.open_state == state) {
            if (IsMainThread()) ServeMainThreadCalls();
            DeliverPendingLog();
            std::this_thread::sleep_for(kOpenPoll);
        }
    };
    serve_while(0);
    if (is.open_state == 1) return true;
    serve_while(-1);
    DeliverPendingLog();
    return false;
}

void TCustomPlayer::NotifyFileOpen(player::StreamState& is) {
    if (!OnFileOpen) return;
    is.start_time = is.container_start == AV_NOPTS_VALUE ? 0 : is.container_start;
    is.duration = is.container_duration == AV_NOPTS_VALUE ? -1 : is.container_duration;
    const std::int64_t duration = is.image_sequence ? 0 : is.duration;
    const AVCodecParameters* video = is.video_st ? is.video_st->codecpar : nullptr;
    const bool has_frame = video && video->width > 0;
    const std::int32_t width = has_frame ? video->width : -1;
    const std::int32_t height = has_frame ? video->height : -1;
    std::int32_t screen_width = ScreenWidth;
    std::int32_t screen_height = ScreenHeight;
    OnFileOpen(*this, duration, width, height, screen_width, screen_height);
    ScreenWidth = screen_width;
    ScreenHeight = screen_height;
}

// Where playback starts, as positions count: StartTime, or the start.
std::int64_t TCustomPlayer::ShownStartPosition(const player::StreamState& is) const {
    const std::int64_t container_start = is.container_start == AV_NOPTS_VALUE ? 0 : is.container_start;
    const std::int64_t start = is.settings.start_time == kNoTime ? 0 : is.settings.start_time;
    return start + container_start - is.start_time;
}

void TCustomPlayer::Close(bool AWait) {
    const bool on_play_thread = play_thread_.joinable() && std::this_thread::get_id() == play_thread_.get_id();
    if (const std::shared_ptr<player::StreamState> is = Current()) RequestClose(*is);
    // The play thread cannot wait for itself.
    if (!AWait || on_play_thread) return;
    JoinPlayThread();
    if (Current()) CloseCurrentStream();
}

void TCustomPlayer::RequestClose(player::StreamState& is) {
    if (is.close_requested.exchange(true)) return;
    ResetPerFileGroup();
    events_.Push(player::PlayEventKind::Quit);
}

void TCustomPlayer::JoinPlayThread() {
    if (!play_thread_.joinable()) return;
    WaitServingMainThread([this] { return play_thread_done_.load(); });
    play_thread_.join();
}

void TCustomPlayer::CloseCurrentStream() {
    const std::shared_ptr<player::StreamState> is = Current();
    if (!is) return;
    probe_.Attach(nullptr);
    player::CloseStreamState(*is);
    {
        const std::lock_guard<std::mutex> lock(current_lock_);
        current_.reset();
    }
    events_.Reset(nullptr);
    display_.reset();
    // Positions the play thread tracked while the close was under way are not the next file's.
    position_ = kNoTime;
    current_position_ = -1;
    StopSdl();
}

void TCustomPlayer::RaiseState(TPlayState state) {
    if (OnState && events_enabled_) OnState(*this, state);
}

void TCustomPlayer::Log(TLogType type, const std::string& message, bool store) {
    if (OnLog && events_enabled_) DeliverLog(type, message);
    if (store || (type == TLogType::ltError && !OnLog)) SetLastError(message);
}

// While a stream is current the main thread runs the handler; before that (during Open) the
// message waits in the mailbox for Open's wait loop. Open makes the stream current under the
// mailbox lock and then empties the mailbox, so no message is left behind in between.
void TCustomPlayer::DeliverLog(TLogType type, const std::string& message) {
    for (;;) {
        if (IsMainThread()) DeliverPendingLog();
        bool current = false;
        {
            const std::lock_guard<std::mutex> lock(mailbox_lock_);
            current = Current() != nullptr;
            if (!current && !mailbox_pending_) {
                mailbox_type_ = type;
                mailbox_message_ = message;
                mailbox_pending_ = true;
                break;
            }
        }
        if (current) {
            RunOnMainThread([&] { OnLog(*this, type, message); });
            return;
        }
        std::this_thread::sleep_for(kOpenPoll);
    }
    if (IsMainThread()) DeliverPendingLog();
}

void TCustomPlayer::DeliverPendingLog() {
    TLogType type;
    std::string message;
    {
        const std::lock_guard<std::mutex> lock(mailbox_lock_);
        if (!mailbox_pending_) return;
        type = mailbox_type_;
        message = mailbox_message_;
    }
    if (OnLog && events_enabled_) OnLog(*this, type, message);
    const std::lock_guard<std::mutex> lock(mailbox_lock_);
    mailbox_pending_ = false;
}

void TCustomPlayer::HookLog(const std::string& message) {
    if (OnLog && events_enabled_) OnLog(*this, TLogType::ltError, message);
}

void TCustomPlayer::SetAspectRatio(float value) {
    if (aspect_ratio_.exchange(value) == value) return;
    if (Current()) events_.Push(player::PlayEventKind::Relayout);
}

void TCustomPlayer::ResizeDisplay(int width, int height) {
    if (Current()) events_.Push(player::PlayEvent{player::PlayEventKind::Resize, width, height});
}

}  // namespace brenvale
