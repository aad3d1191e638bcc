#include "cli/conversion_queue.h"

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <sstream>
#include <system_error>

#include "app/catalogue/failure_reason.h"
#include "app/catalogue/output_naming.h"
#include "app/catalogue/progress_figures.h"
#include "app/catalogue/source_probe.h"
#include "cli/interrupt_signal.h"
#include "cli/progress_line.h"
#include "common/main_thread.h"
#include "converter/record_option_lines.h"

namespace brenvale::cli {
namespace {

constexpr auto kRefreshInterval = std::chrono::milliseconds(100);

// The input format an "f" line of the input options forces; empty when none does.
std::string ForcedInputFormat(const std::string& input_options) {
    std::string format;
    std::istringstream lines(input_options);
    for (std::string line; std::getline(lines, line);) {
        if (line.starts_with("f=")) format = line.substr(2);
    }
    return format;
}

// The row the window would show: empty when the probe cannot open the file (the add then
// fails with the reason).
TSourceRow DescribeFile(TAVProbe& probe, const std::string& source, const std::string& format) {
    if (!probe.LoadFile(source, format)) return {};
    const TSourceRow row = DescribeOpenFile(probe);
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

std::int64_t FileSize(const std::string& path) {
    std::error_code error;
    const auto size = std::filesystem::file_size(path, error);
    return error ? 0 : static_cast<std::int64_t>(size);
}

std::string FileName(const std::string& path) { return std::filesystem::path(path).filename().string(); }

TProgressFigures FiguresOf(const TJobSlot::TReport& report, std::int64_t elapsed_ms) {
    TProgressFigures figures;
    figures.Percent = ProgressPercent(report.DoneMs, report.TotalMs);
    figures.Frames = report.Frames;
    figures.Speed = SpeedText(report.Clock);
    figures.SizeBytes = report.SizeBytes;
    figures.ElapsedMs = elapsed_ms;
    figures.RemainingMs = report.Clock.RemainingMs().value_or(-1);
    return figures;
}

}  // namespace

TConversionQueue::TConversionQueue(TQueueSettings settings, TProgressDisplay& display)
    : settings_(std::move(settings)), display_(display), file_log_(display, settings_.Verbose, settings_.Jobs) {
    for (int i = 0; i < settings_.Jobs; ++i) slots_.push_back(std::make_unique<TJobSlot>());
    for (std::size_t index = 0; index < slots_.size(); ++index) {
        TConverter& converter = slots_[index]->Converter();
        converter.SetOnLog([this, index](int job, TLogLevel level, const std::string& line) {
            file_log_.Heard(static_cast<int>(index), job, level, line);
        });
        // Warnings and errors; verbose, the information lines too (stream mapping, summaries).
        converter.SetLogLevel(settings_.Verbose ? TLogLevel::llInfo : TLogLevel::llError);
        converter.SetProgressInterval(250);
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
    for (std::size_t slot = 0; slot < slots_.size(); ++slot) {
        while (!slots_[slot]->Busy() && next_file_ < outcomes_.size() && !stopping())
            start_file(slot, static_cast<int>(next_file_++));
    }
}

void TConversionQueue::start_file(std::size_t slot_index, int file) {
    TJobSlot& slot = *slots_[slot_index];
    const int log_slot = static_cast<int>(slot_index);
    file_log_.Preparing(log_slot, FileName(outcomes_[static_cast<std::size_t>(file)].Source));
    try {
        bool length_known = true;
        if (!add_job(slot, file, length_known)) return file_log_.Ended(log_slot);
        slot.Begin(file, length_known);
        file_log_.Running(log_slot);
        slot.Converter().StartJobs(1);
    } catch (const std::exception& error) {
        slot.Converter().StopJobs();
        slot.Release();
        fail(file, error.what());
        file_log_.Ended(log_slot);
    }
}

bool TConversionQueue::add_job(TJobSlot& slot, int file, bool& length_known) {
    TConverter& converter = slot.Converter();
    converter.ClearJobs();
    // Taken as typed: unlike a caption of the window's list, an argument's blanks are part of the name.
    const std::string& source = outcomes_[static_cast<std::size_t>(file)].Source;
    const TSourceRow row = DescribeFile(converter.Probe(), source, ForcedInputFormat(settings_.InputOptions));
    length_known = RecordingTimeFor(row.Duration) < 0;
    TOutputOptions options;
    FillJobOutputOptions(settings_.Job, row, options);
    // The user's lines come after the format's own, and win.
    if (!options.ExtOptions.empty() && !settings_.ExtOptions.empty()) options.ExtOptions += '\n';
    options.ExtOptions += settings_.ExtOptions;
    // A line for a field the record always sets (an, async, pix_fmt, ...) counts, as typed.
    move_option_lines_into_fields(options);
    const std::string output = output_name(source);

    TInputOptions input;
    input.FileName = source;
    input.ExtOptions = settings_.InputOptions;
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
    for (std::size_t slot = 0; slot < slots_.size(); ++slot) {
        if (slots_[slot]->Busy() && slots_[slot]->Report().AllDone) finish_file(slot);
    }
}

void TConversionQueue::finish_file(std::size_t slot_index) {
    TJobSlot& slot = *slots_[slot_index];
    const TJobSlot::TReport report = slot.Report();
    const int file = slot.File();
    TFileOutcome& outcome = outcomes_[static_cast<std::size_t>(file)];
    if (report.Exception) fail(file, report.Message);
    else if (!report.Ended || !report.Finished) outcome.Outcome = TOutcome::Abort;
    else if (!HasContent(outcome.Output)) fail(file, "nothing was written to " + outcome.Output);
    else outcome.Outcome = TOutcome::Done;
    show_last_line(slot, report, outcome);
    slot.Release();
    file_log_.Ended(static_cast<int>(slot_index));
    if (outcome.Outcome != TOutcome::Done) RemovePartialOutput(outcome.Output);
}

// The file's last progress line stays, with its figures at the end: a file that ended within
// the refresh interval would otherwise show none, or only the empty one of its start.
void TConversionQueue::show_last_line(const TJobSlot& slot, const TJobSlot::TReport& report,
                                      const TFileOutcome& outcome) {
    TProgressFigures figures = FiguresOf(report, slot.ElapsedMs());
    if (outcome.Outcome == TOutcome::Done) {
        figures.Percent = 100;
        figures.RemainingMs = 0;
        // The trailer is written after the last report.
        figures.SizeBytes = std::max(figures.SizeBytes, FileSize(outcome.Output));
    }
    display_.Log(FormatProgressLine(FileName(outcome.Source), figures));
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
        const std::string& source = outcomes_[static_cast<std::size_t>(slot->File())].Source;
        lines.push_back(FormatProgressLine(FileName(source), FiguresOf(slot->Report(), slot->ElapsedMs())));
    }
    display_.Show(lines);
}

void TConversionQueue::fail(int file, const std::string& reason) {
    TFileOutcome& outcome = outcomes_[static_cast<std::size_t>(file)];
    outcome.Outcome = TOutcome::Fail;
    outcome.Reason = reason.empty() ? "the conversion failed" : ReadableReason(outcome.Source, reason);
}

}  // namespace brenvale::cli
