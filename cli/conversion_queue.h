// Converts the input files, up to a number at once: each file is prepared (output named,
// records filled, input and output added) when a slot is free, as the window's queue does.
#pragma once

#include <memory>
#include <set>
#include <string>
#include <vector>

#include "app/catalogue/job_options.h"
#include "cli/file_log.h"
#include "cli/file_outcome.h"
#include "cli/job_slot.h"
#include "cli/progress_display.h"

namespace brenvale::cli {

struct TQueueSettings {
    TConversionSettings Job;
    std::string OutputFolder;
    bool Overwrite = false;
    std::string ExtOptions;    // option lines for every output
    std::string InputOptions;  // option lines for every input, before it opens
    int Jobs = 1;
    bool Verbose = false;  // every log line as it comes
};

class TConversionQueue {
public:
    // Owner's thread only.
    TConversionQueue(TQueueSettings settings, TProgressDisplay& display);

    // Loads the converter's libraries for every slot; false with `error` set.
    bool LoadLibraries(const std::string& folder, std::string& error);

    // Runs every file to its end, or until an interrupt signal stops the run.
    std::vector<TFileOutcome> Run(const std::vector<std::string>& files);

private:
    bool stopping() const;
    void fill_free_slots();
    void start_file(std::size_t slot, int file);
    bool add_job(TJobSlot& slot, int file, bool& length_known);
    std::string output_name(const std::string& source) const;
    void collect_ended_slots();
    void finish_file(std::size_t slot);
    void show_last_line(const TJobSlot& slot, const TJobSlot::TReport& report, const TFileOutcome& outcome);
    bool any_slot_ended() const;
    bool any_slot_busy() const;
    void show_progress();
    void fail(int file, const std::string& reason);

    TQueueSettings settings_;
    TProgressDisplay& display_;
    TFileLog file_log_;
    std::vector<std::unique_ptr<TJobSlot>> slots_;
    std::vector<TFileOutcome> outcomes_;
    std::set<std::string> claimed_outputs_;  // outputs of this run: never given twice
    std::size_t next_file_ = 0;
    bool stopped_ = false;
};

}  // namespace brenvale::cli
