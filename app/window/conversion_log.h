// The log lines of the jobs of one run, each with the file it belongs to, kept for the
// Conversion Log window.
//
// Threads: Append may be called from any thread (the converter delivers log lines on the job
// threads); it queues the line under pending_lock_ and hands one flush to the window thread,
// however many lines arrive meanwhile. Everything else is window thread only.
#pragma once

#include <deque>
#include <mutex>

#include <QObject>
#include <QList>
#include <QString>

namespace brenvale {

// Warnings and errors are what a reader looks for first; the rest (stream mappings, the
// encoders' statistics) tells how a file went.
enum class TLogKind { Information, Problem };

struct TLogEntry {
    QString File;  // the file's name, without its folder
    TLogKind Kind = TLogKind::Information;
    QString Text;  // one line

    QString Line() const { return File + QStringLiteral(": ") + Text; }
};

class TConversionLog : public QObject {
    Q_OBJECT

public:
    // The oldest lines go first beyond this many: a job that warns on every packet must not
    // fill the memory.
    static constexpr int kMaxLines = 20000;

    explicit TConversionLog(QObject* parent = nullptr);

    // Any thread. `file`: the source file of the job the message belongs to; each line of the
    // message becomes a line of the log.
    void Append(const QString& file, const QString& message, TLogKind kind = TLogKind::Information);
    // A new run starts: the lines of the last one go, also those still on their way.
    void Clear();
    // Oldest first.
    const std::deque<TLogEntry>& Entries() const { return entries_; }
    // "file: line", oldest first.
    std::deque<QString> Lines() const;
    QString Text() const;

signals:
    // After the entries were added at the end of Entries() and `dropped` went from its start.
    void EntriesAdded(const QList<brenvale::TLogEntry>& entries, int dropped);
    void Cleared();

private:
    void flush();

    std::deque<TLogEntry> entries_;
    std::mutex pending_lock_;
    QList<TLogEntry> pending_;  // guarded by pending_lock_
};

}  // namespace brenvale
