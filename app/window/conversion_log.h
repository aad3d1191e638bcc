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
#include <QStringList>

namespace brenvale {

class TConversionLog : public QObject {
    Q_OBJECT

public:
    // The oldest lines go first beyond this many: a job that warns on every packet must not
    // fill the memory.
    static constexpr int kMaxLines = 20000;

    explicit TConversionLog(QObject* parent = nullptr);

    // Any thread. `file`: the source file of the job the message belongs to; each line of the
    // message becomes a line of the log.
    void Append(const QString& file, const QString& message);
    // A new run starts: the lines of the last one go, also those still on their way.
    void Clear();
    // "file: line", oldest first.
    const std::deque<QString>& Lines() const { return lines_; }
    QString Text() const;

signals:
    // After the lines were added at the end of Lines() (and as many dropped from its start).
    void LinesAdded(const QStringList& lines);
    void Cleared();

private:
    void flush();

    std::deque<QString> lines_;
    std::mutex pending_lock_;
    QStringList pending_;  // guarded by pending_lock_
};

}  // namespace brenvale
