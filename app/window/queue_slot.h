// One place of the conversion queue where a job runs: the window converts as many files at once
// as it has slots. Slot 0 uses the window's own converter; the others own theirs.
//
// Threads: Busy, Started, the job's figures and Owned are window thread only. Ticket is written
// on the window thread and read by the converter's handlers on the job threads, under TicketLock.
#pragma once

#include <cstdint>
#include <memory>
#include <mutex>

#include <QElapsedTimer>
#include <QString>

#include "app/catalogue/progress_figures.h"
#include "converter/converter.h"

namespace brenvale {

// Which job a report belongs to: the row it converts, its source file and the job's serial number.
struct TJobTicket {
    int Row = -1;
    QString File;
    std::uint64_t Serial = 0;
};

struct TQueueSlot {
    explicit TQueueSlot(TConverter& converter) : Converter(converter) {}
    explicit TQueueSlot(std::unique_ptr<TConverter> owned) : Converter(*owned), Owned(std::move(owned)) {}
    TQueueSlot(const TQueueSlot&) = delete;
    TQueueSlot& operator=(const TQueueSlot&) = delete;

    TJobTicket CurrentTicket() const {
        const std::lock_guard<std::mutex> lock(TicketLock);
        return Ticket;
    }
    void SetTicket(const TJobTicket& ticket) {
        const std::lock_guard<std::mutex> lock(TicketLock);
        Ticket = ticket;
    }

    TConverter& Converter;
    bool Busy = false;           // a job is being prepared or runs; its end not yet shown
    std::uint64_t Started = 0;   // serial of the job it started last: the newest one is previewed
    // The running job's figures: its clock, the media time done, and what it weighs in the run.
    QElapsedTimer Running;
    TProgressClock Clock;
    bool LengthKnown = false;
    std::int64_t DoneMs = 0;
    std::int64_t WeightMs = 0;
    mutable std::mutex TicketLock;
    TJobTicket Ticket;  // guarded by TicketLock
    // Last: destroyed first, while the ticket its handlers read still exists.
    std::unique_ptr<TConverter> Owned;
};

}  // namespace brenvale
