// TForm1, the main window: the file list, the output format and its settings, the output
// folder, the conversion queue and the playback panel. Its code is split by feature:
// form1_layout (controls), form1_menus, form1_file_list, form1_formats, form1_settings,
// form1_queue (runs), form1_job_events (the converter's reports), form1_playback (the
// playback panel), form1_volume and form1_snapshot.
//
// Threads: everything here lives on the window thread. The converters' OnProgress and
// OnTerminate arrive on job threads; their handlers copy the values and post them to the
// window thread (queued calls keep their order), stamped with the job they belong to (the
// ticket of its queue slot, see queue_slot.h). The
// player's psEnd arrives on its play thread and is posted the same way, stamped with the
// playback it ends.
#pragma once

#include <atomic>
#include <cstdint>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include <QElapsedTimer>
#include <QMainWindow>

#include "app/catalogue/job_options.h"
#include "app/main_thread_bridge.h"
#include "app/window/conversion_log.h"
#include "app/window/general_options.h"
#include "app/window/list_view.h"
#include "app/window/queue_slot.h"
#include "app/window/skins.h"
#include "converter/converter.h"
#include "player/ff_player.h"

// A row keeps its source's facts for the jobs: the tracks and shape the list does not show.
Q_DECLARE_METATYPE(brenvale::TSourceRow)

class QComboBox;
class QFrame;
class QLabel;
class QLineEdit;
class QMenu;
class QProgressBar;
class QSlider;
class QTimer;
class QToolButton;

namespace brenvale {

class TDialogs;
class TPlayPanel;
class TPositionBar;

class TForm1 : public QMainWindow {
    Q_OBJECT

public:
    // `library_folder`: where the media libraries are looked for first. `dialogs` must outlive the window.
    TForm1(const QString& library_folder, TDialogs& dialogs);
    ~TForm1() override;

    // False when the media libraries could not be loaded; the user has been told and the
    // application must end.
    bool Started() const { return started_; }
    // Reads the stored settings into the controls (the Additional Options window's creation).
    void LoadSettings();
    void SaveSettings();

    TConverter& RIVUV() { return RIVUV_; }
    TFFPlayer& FFPlayer() { return FFPlayer_; }
    TGeneralOptions& GeneralOptions() { return general_options_; }
    bool Converting() const { return converting_; }
    // Jobs being prepared or running; more than one with simultaneous conversions.
    int RunningJobs() const;
    // A run is under way: the settings are locked, also in the pause between two jobs.
    bool RunActive() const { return settings_locked_; }
    QString OutputExtension() const { return output_extension_; }
    TSkinManager& Skins() { return skins_; }
    // The log lines of the jobs of the current (or last) run.
    TConversionLog& ConversionLog() { return conversion_log_; }
    QString SkinName() const { return skins_.SkinName(); }
    int VolumeValue() const { return volume_value_; }
    bool PlaybackPaused() const { return playback_paused_; }
    bool PlaybackStopped() const { return playback_stopped_; }
    QString SelectedFile() const { return selected_file_; }

    // Handlers of the window's commands.
    void ButtonAddFileClick();
    void DeleteSelectedItem1Click();
    void ClearAllItems1Click();
    void CheckAllItems1Click();
    void UncheckAllItems1Click();
    void ButtonBrowseForFolderClick();
    void ButtonConvertClick();
    void ButtonStopConvertClick();
    void Exit1Click();
    void OpenHelpFile1Click();
    void VisitOurWebsite1Click();
    void OpenOutputFolder1Click();
    // Checks the rows that failed, and only them, and converts them.
    void ConvertFailedRowsAgain1Click();
    // The selected row's output in the file manager (its folder when there is none yet).
    void ShowInFolder1Click();
    void ComboOutputFormatChange();
    void TrackBar1Change(int position);
    // The playback panel.
    void ListView1SelectItem();
    void ButtonPlayClick();
    void PlaySelectedVideo1Click();
    void ButtonPauseClick();
    void ButtonStopPlayClick();
    void ButtonVolumeClick();
    // `tag`: 10 "Full Volume", 9 "Half Volume", 8 "Mute".
    void FullVolume1Click(int tag);
    void ButtonSnapshotClick();
    // Files and folders given from outside the open dialog (dropped on the list).
    void AddPaths(const QStringList& paths);

signals:
    // Commands whose windows are opened by their owners.
    void SetGeneralOptionsRequested();
    void SkinsRequested();
    void AboutRequested();
    void ConversionLogRequested();

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // form1_layout.cpp
    void create_controls();
    void create_command_buttons();
    void create_format_controls();
    void create_video_group();
    void create_audio_group();
    void create_play_panel();
    void create_status_bar();
    void place_controls();
    void set_hint(QWidget* widget, const QString& hint);
    // form1_menus.cpp
    void create_menus();
    void create_list_menu();
    void connect_commands();
    void set_run_commands_enabled(bool enabled);
    // form1_kept_list.cpp. Changes of the list made while one lives are saved once, at its end.
    class TListChange {
    public:
        explicit TListChange(TForm1& form);
        ~TListChange();
        TListChange(const TListChange&) = delete;
        TListChange& operator=(const TListChange&) = delete;

    private:
        TForm1& form_;
    };
    void connect_kept_list();
    void save_list();
    void restore_list();
    // form1_file_list.cpp
    void add_files(const QStringList& paths);
    void add_source_row(const QString& path);
    void clear_progress_values();
    void set_row_outcome(int row, const QString& outcome, const QString& details);
    // form1_formats.cpp
    void fill_format_list();
    void fill_preset_controls(const TheAVCodec& entry);
    void connect_codec_lists();
    void follow_codec_choice(bool codec_changed);
    void enable_video_controls(bool enabled);
    void enable_volume();
    void apply_drop_down_items();
    bool audio_only() const;
    // form1_queue.cpp
    void prepare_slots();
    // The run's jobs decode their pictures: the preview can show them.
    bool previews_pictures() const;
    TQueueSlot* free_slot() const;
    bool any_slot_busy() const;
    void set_slot_busy(TQueueSlot& slot, bool busy);
    void start_next_job(TQueueSlot& slot);
    bool prepare_job(TQueueSlot& slot, const std::string& extension);
    bool add_job(TQueueSlot& slot, const std::string& extension);
    std::string output_path_for(const std::string& source, const std::string& extension) const;
    TConversionSettings conversion_settings() const;
    void fail_row(TQueueSlot& slot, const QString& reason);
    void finish_run();
    void notify_run_end();
    void end_run();
    void lock_settings(bool locked);
    void browse_for_output_folder();
    bool run_can_start();
    bool output_folder_usable(bool browse = true);
    void TimerConvertAgainTimer();
    // form1_job_events.cpp
    void attach_job_events(TQueueSlot& slot);
    void detach_job_events();
    void set_ticket(TQueueSlot& slot, int row);
    void preview_newest_job();
    void RIVUVProgress(TQueueSlot& slot, TJobTicket ticket, std::int32_t frame_number, std::int32_t current_duration,
                       std::int64_t current_size, std::int32_t total_duration);
    void RIVUVTerminate(TQueueSlot& slot, TJobTicket ticket, std::int32_t index, bool exception,
                        const QString& message);
    void RIVUVPreviewBitmap(TBitmap& bitmap);
    void count_outcome(const QString& outcome);
    // form1_run_figures.cpp
    std::int64_t known_length_ms(int row) const;
    void begin_run_figures();
    void begin_job_figures(TQueueSlot& slot, int row);
    void job_progressed(TQueueSlot& slot, int row, std::int32_t frame_number, std::int32_t current_ms,
                        std::int32_t total_ms);
    void job_ended(TQueueSlot& slot);
    QString took_text(const TQueueSlot& slot) const;
    void show_run_figures();
    // form1_playback.cpp
    void connect_playback_commands();
    void attach_player_events();
    void FFPlayerFileOpen(std::int64_t duration, std::int32_t& screen_width, std::int32_t& screen_height);
    void FFPlayerState(TPlayState state);
    void FFPlayerPosition(std::int64_t position);
    void PositionBarSeek(std::int64_t position);
    void show_end_of_playback(std::uint64_t playback);
    void show_placeholder();
    // form1_volume.cpp
    void create_volume_menu();
    // form1_snapshot.cpp
    QString snapshot_name() const;
    void save_snapshot(const TBitmap& picture, const QString& name);

    // First: the hand-offs of every thread the window starts are served until the end.
    TMainThreadBridge main_thread_bridge_;
    TDialogs& dialogs_;
    const QString library_folder_;
    TGeneralOptions general_options_;
    bool started_ = false;

    // Controls (their names are their object names).
    QToolButton* ButtonAddFile = nullptr;
    QToolButton* ButtonRemove = nullptr;
    QToolButton* ButtonClear = nullptr;
    QToolButton* ButtonStopConvert = nullptr;
    QToolButton* ButtonConvert = nullptr;
    TListView* ListView1 = nullptr;
    QWidget* SettingsArea = nullptr;  // the settings and the playback panel, one block of fixed size
    QComboBox* ComboOutputFormat = nullptr;
    QLineEdit* EditOutputFolder = nullptr;
    QToolButton* ButtonBrowseForFolder = nullptr;
    QComboBox* ComboVideoCodec = nullptr;
    QComboBox* ComboVideoSize = nullptr;
    QComboBox* ComboVideoBitrate = nullptr;
    QComboBox* ComboVideoFramerate = nullptr;
    QComboBox* ComboLetterBox = nullptr;
    QComboBox* ComboAudioCodec = nullptr;
    QComboBox* ComboAudioBitrate = nullptr;
    QComboBox* ComboAudioChannels = nullptr;
    QComboBox* ComboSamplingRate = nullptr;
    QSlider* TrackBar1 = nullptr;
    QLabel* LabelVolume = nullptr;
    QComboBox* ComboAspectRatio = nullptr;
    QFrame* Panelx = nullptr;
    TPlayPanel* sPanelPlay = nullptr;
    TPositionBar* PositionBar = nullptr;
    QToolButton* ButtonPlay = nullptr;
    QToolButton* ButtonPause = nullptr;
    QToolButton* ButtonStopPlay = nullptr;
    QToolButton* ButtonVolume = nullptr;
    QToolButton* ButtonSnapshot = nullptr;
    QMenu* PopupMenuVolume = nullptr;
    QProgressBar* ProgressBar1 = nullptr;
    QLabel* StatusPanels[3] = {};
    QMenu* PopupMenu1 = nullptr;
    QTimer* TimerConvertAgain = nullptr;

    // Window state.
    static constexpr int kAddingSaveIntervalMs = 1000;
    int list_change_depth_ = 0;
    QElapsedTimer list_saved_;
    bool adding_files_ = false;
    bool first_show_done_ = false;
    bool geometry_restored_ = false;  // the stored size and place, not the first start's
    bool settings_locked_ = false;
    QString output_extension_;
    const TheAVCodec* format_entry_ = nullptr;
    int last_format_index_ = 0;
    int volume_value_ = 256;
    TSkinManager skins_;
    TConversionLog conversion_log_;

    // Playback state.
    bool playback_paused_ = false;
    // Nothing has played yet: Pause and Snapshot wait for the first Play.
    bool playback_stopped_ = true;
    QString selected_file_;
    int selected_row_ = -1;
    std::atomic<std::uint64_t> playback_serial_{0};  // written on the window thread, read by the play thread

    // Queue state.
    std::atomic<bool> converting_{false};
    bool user_aborted_ = false;
    int current_row_ = -1;
    bool last_row_reached_ = false;
    bool queue_finished_ = false;
    int timer_ticks_ = 0;
    int rows_to_convert_ = 0;
    int rows_started_ = 0;
    int rows_ended_ = 0;
    int rows_done_ = 0;
    int rows_failed_ = 0;
    int rows_stopped_ = 0;
    // The run's media time: all of its checked rows, and that of the rows ended.
    std::int64_t run_total_ms_ = 0;
    std::int64_t run_ended_ms_ = 0;
    std::int64_t unknown_weight_ms_ = 0;
    int run_percent_ = 0;
    QElapsedTimer run_elapsed_;
    TProgressClock run_clock_;
    std::uint64_t job_serial_ = 0;  // window thread; each slot's ticket holds a copy
    TQueueSlot* previewed_slot_ = nullptr;  // the newest running job's: the preview shows it
    std::set<std::string> claimed_outputs_;  // outputs of this run's jobs
    std::size_t active_slots_ = 1;  // the first ones of slots_ take jobs in this run
    std::atomic<bool> several_slots_{false};  // written on the window thread, read by job threads

    // Declared last: destroyed first, while the state their threads report into still exists.
    // The slots of the run; slot 0 runs on RIVUV_, the others on converters of their own.
    std::vector<std::unique_ptr<TQueueSlot>> slots_;
    TFFPlayer FFPlayer_;
    TConverter RIVUV_;
};

}  // namespace brenvale
