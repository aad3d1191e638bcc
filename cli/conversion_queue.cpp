#include "cli/conversion_queue.h"

#include <chrono>
#include <filesystem>
#include <system_error>

#include "app/catalogue/output_naming.h"
#include "app/catalogue/progress_figures.h"
#include "app/catalogue/source_row.h"
#include "cli/interrupt_signal.h"
#include "cli/progress_line.h"
#include "common/main_thread.h"

namespace brenvale::cli {
namespace {

constexpr auto kRefreshInterval = std::chrono::milliseconds(100);

// The row the window would show: empty when the probe cannot open the file (the add then
// fails with the reason).
TSourceRow DescribeFile(TAVProbe& probe, const std::string& source) {
    if (!probe.LoadFile(source)) return {};
    TFileStreamInfo file;
    TVideoStreamInfo video;
    probe.GetFileStreamInfo(file);
    if (probe.VideoStreamCount() > 0) probe.GetVideoStreamInfo(video);
    const TSourceRow row = DescribeSource(probe.VideoStreamCount(), file, video);
    probe.Close();
    return row;
}

bool HasContent(const std::string& path) {
    std::error_code error;
    const auto size = std::filesystem::file_size(path, error);
    return !error && size > 0;
}

void RemovePartialOutput(const std::string& path) {
    std::error_code error;
    std::filesystem::remove(path, error);
}

}  // namespace

TConversionQueue::TConversionQueue(TQueueSettings settings, TProgressDisplay& display)
    : settings_(std::move(settings)), display_(display) {
    for (int i = 0; i < settings_.Jobs; ++i) slots_.push_back(std::make_unique<TJobSlot>());
    // Every component hears every library line; the first one alone prints them, once.
    slots_.front()->Converter().SetOnLog([this](int, TLogLevel level, const std::string& line) {
        // Errors and warnings only: the jobs' fatal errors (quiet) are in the final report,
        // and their information lines (stream mapping, summaries) are the engine's chatter.
        if (level == TLogLevel::llError) display_.Log(line);
    });
    for (auto& slot : slots_) {
        slot->Converter().SetLogLevel(TLogLevel::llError);
        slot->Converter().SetProgressInterval(250);
    }
}

bool TConversionQueue::LoadLibraries(const std::string& folder, std::string& error) {
    for (auto& slot : slots_) {
        if (!slot->Converter().LoadLibraries(folder)) {
            error = slot->Converter().LastError();
            return false;
        }
    }
    return true;
}

std::vector<TFileOutcome> TConversionQueue::Run(const std::vector<std::string>& files) {
    outcomes_.clear();
    for (const std::string& file : files) outcomes_.push_back({file, {}, TOutcome::Pending, {}});
    next_file_ = 0;
    while (true) {
        collect_ended_slots();
        if (stopping() && !stopped_) {
            stopped_ = true;
            for (auto& slot : slots_) slot->Converter().StopJobs();
        }
        if (!stopped_) fill_free_slots();
        if (!any_slot_busy() && (stopped_ || next_file_ >= outcomes_.size())) break;
        show_progress();
        WaitServingMainThread([this] { return any_slot_ended() || stopping(); }, kRefreshInterval);
    }
    display_.Finish();
    for (TFileOutcome& outcome : outcomes_) {
        if (outcome.Outcome == TOutcome::Pending) outcome.Outcome = TOutcome::Abort;
    }
    return outcomes_;
}

bool TConversionQueue::stopping() const { return InterruptSignal() != 0; }

void TConversionQueue::fill_free_slots() {
    for (auto& slot : slots_) {
        while (!slot->Busy() && next_file_ < outcomes_.size() && !stopping())
            start_file(*slot, static_cast<int>(next_file_++));
    }
}

void TConversionQueue::start_file(TJobSlot& slot, int file) {
    try {
        if (!add_job(slot, file)) return;
        slot.Begin(file);
        slot.Converter().StartJobs(1);
    } catch (const std::exception& error) {
        slot.Converter().StopJobs();
        slot.Release();
        fail(file, error.what());
    }
}

bool TConversionQueue::add_job(TJobSlot& slot, int file) {
    TConverter& converter = slot.Converter();
    converter.ClearJobs();
    // Taken as typed: unlike a caption of the window's list, an argument's blanks are part of the name.
    const std::string& source = outcomes_[static_cast<std::size_t>(file)].Source;
    const TSourceRow row = DescribeFile(converter.Probe(), source);
    TOutputOptions options;
    FillJobOutputOptions(settings_.Job, row, options);
    options.ExtOptions = settings_.ExtOptions;
    const std::string output = output_name(source);

    TInputOptions input;
    input.FileName = source;
    const int index = converter.AddInput(source, &input);
    if (index < 0) {
        fail(file, converter.LastError());
        return false;
    }
    if (!converter.AddOutput(index, output, &options)) {
        fail(file, converter.LastError());
        converter.DeleteJob(index);
        return false;
    }
    claimed_outputs_.insert(output);
    outcomes_[static_cast<std::size_t>(file)].Output = output;
    return true;
}

std::string TConversionQueue::output_name(const std::string& source) const {
    const auto taken = [this](const std::string& path) { return PathTaken(path) || claimed_outputs_.contains(path); };
    const std::string extension = OutputExtension(*settings_.Job.Entry);
    const std::string path = OutputPathFor(source, settings_.OutputFolder, extension, settings_.Overwrite, taken);
    // Overwriting replaces what existed before the run, never another output of this run.
    if (!claimed_outputs_.contains(path)) return path;
    return OutputPathFor(source, settings_.OutputFolder, extension, false, taken);
}

void TConversionQueue::collect_ended_slots() {
    for (auto& slot : slots_) {
        if (slot->Busy() && slot->Report().AllDone) finish_file(*slot);
    }
}

void TConversionQueue::finish_file(TJobSlot& slot) {
    const TJobSlot::TReport report = slot.Report();
    const int file = slot.File();
    TFileOutcome& outcome = outcomes_[static_cast<std::size_t>(file)];
    slot.Release();
    if (report.Exception) fail(file, report.Message);
    else if (!report.Ended || !report.Finished) outcome.Outcome = TOutcome::Abort;
    else if (!HasContent(outcome.Output)) fail(file, "nothing was written to " + outcome.Output);
    else outcome.Outcome = TOutcome::Done;
    if (outcome.Outcome != TOutcome::Done) RemovePartialOutput(outcome.Output);
}

bool TConversionQueue::any_slot_ended() const {
    for (const auto& slot : slots_) {
        if (slot->Busy() && slot->Report().AllDone) return true;
    }
    return false;
}

bool TConversionQueue::any_slot_busy() const {
    for (const auto& slot : slots_) {
        if (slot->Busy()) return true;
    }
    return false;
}

void TConversionQueue::show_progress() {
    std::vector<std::string> lines;
    for (const auto& slot : slots_) {
        if (!slot->Busy()) continue;
        const TJobSlot::TReport report = slot->Report();
        TProgressFigures figures;
        figures.Percent = ProgressPercent(report.DoneMs, report.TotalMs);
        figures.Frames = report.Frames;
        figures.Fps = report.Fps;
        figures.SizeBytes = report.SizeBytes;
        figures.ElapsedMs = slot->ElapsedMs();
        figures.RemainingMs = EstimateRemainingMs(figures.ElapsedMs, report.DoneMs, report.TotalMs);
        const std::string& source = outcomes_[static_cast<std::size_t>(slot->File())].Source;
        lines.push_back(FormatProgressLine(std::filesystem::path(source).filename().string(), figures));
    }
    display_.Show(lines);
}

void TConversionQueue::fail(int file, const std::string& reason) {
    TFileOutcome& outcome = outcomes_[static_cast<std::size_t>(file)];
    outcome.Outcome = TOutcome::Fail;
    outcome.Reason = reason.empty() ? "the conversion failed" : reason;
}

}  // namespace brenvale::cli
