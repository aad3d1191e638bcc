#include "app/window/conversion_log.h"

#include <QFileInfo>
#include <QMetaObject>

namespace brenvale {

TConversionLog::TConversionLog(QObject* parent) : QObject(parent) {}

void TConversionLog::Append(const QString& file, const QString& message) {
    // A message may hold several lines and end with "\r\n" (the engine's summary).
    QString text = message;
    while (text.endsWith(QLatin1Char('\n')) || text.endsWith(QLatin1Char('\r'))) text.chop(1);
    const QString prefix = QFileInfo(file).fileName() + QStringLiteral(": ");
    QStringList entries;
    for (QString line : text.split(QLatin1Char('\n'))) {
        if (line.endsWith(QLatin1Char('\r'))) line.chop(1);
        entries << prefix + line;
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
    lines_.clear();
    emit Cleared();
}

QString TConversionLog::Text() const {
    QString text;
    for (const QString& line : lines_) text += line + QLatin1Char('\n');
    return text;
}

void TConversionLog::flush() {
    QStringList added;
    {
        const std::lock_guard<std::mutex> lock(pending_lock_);
        added.swap(pending_);
    }
    if (added.isEmpty()) return;
    for (const QString& line : added) lines_.push_back(line);
    while (lines_.size() > kMaxLines) lines_.pop_front();
    emit LinesAdded(added);
}

}  // namespace brenvale
