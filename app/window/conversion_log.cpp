#include "app/window/conversion_log.h"

#include <QFileInfo>
#include <QMetaObject>

namespace brenvale {

TConversionLog::TConversionLog(QObject* parent) : QObject(parent) {}

void TConversionLog::Append(const QString& file, const QString& message, TLogKind kind) {
    // A message may hold several lines and end with "\r\n" (the engine's summary).
    QString text = message;
    while (text.endsWith(QLatin1Char('\n')) || text.endsWith(QLatin1Char('\r'))) text.chop(1);
    const QString name = QFileInfo(file).fileName();
    QList<TLogEntry> entries;
    for (QString line : text.split(QLatin1Char('\n'))) {
        if (line.endsWith(QLatin1Char('\r'))) line.chop(1);
        entries.push_back({name, kind, line});
    }
    const std::lock_guard<std::mutex> lock(pending_lock_);
    const bool flush_queued = !pending_.isEmpty();
    pending_ << entries;
    if (!flush_queued) QMetaObject::invokeMethod(this, &TConversionLog::flush, Qt::QueuedConnection);
}

void TConversionLog::Clear() {
    {
        const std::lock_guard<std::mutex> lock(pending_lock_);
        pending_.clear();
    }
    entries_.clear();
    emit Cleared();
}

std::deque<QString> TConversionLog::Lines() const {
    std::deque<QString> lines;
    for (const TLogEntry& entry : entries_) lines.push_back(entry.Line());
    return lines;
}

QString TConversionLog::Text() const {
    QString text;
    for (const TLogEntry& entry : entries_) text += entry.Line() + QLatin1Char('\n');
    return text;
}

void TConversionLog::flush() {
    QList<TLogEntry> added;
    {
        const std::lock_guard<std::mutex> lock(pending_lock_);
        added.swap(pending_);
    }
    if (added.isEmpty()) return;
    for (const TLogEntry& entry : added) entries_.push_back(entry);
    int dropped = 0;
    for (; entries_.size() > kMaxLines; ++dropped) entries_.pop_front();
    emit EntriesAdded(added, dropped);
}

}  // namespace brenvale
