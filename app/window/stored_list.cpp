#include "app/window/stored_list.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSaveFile>

namespace brenvale {
namespace {

constexpr int kFormatVersion = 1;

QString Text(const std::string& text) { return QString::fromStdString(text); }
std::string Text(const QJsonValue& value) { return value.toString().toStdString(); }

QJsonArray Numbers(const std::vector<int>& numbers) {
    QJsonArray array;
    for (const int number : numbers) array.append(number);
    return array;
}

QJsonObject SourceObject(const TSourceRow& source) {
    return {{"videoSize", Text(source.VideoSize)},
            {"frameRate", Text(source.FrameRate)},
            {"duration", Text(source.Duration)},
            {"durationMs", static_cast<double>(source.DurationMs)},
            {"displayAspect", source.DisplayAspect},
            {"audioTracks", source.Streams.AudioTracks},
            {"subtitleTracks", source.Streams.SubtitleTracks},
            {"textSubtitleTracks", source.Streams.TextSubtitleTracks},
            {"audioSampleRate", source.Streams.AudioSampleRate},
            {"audioChannels", Numbers(source.Streams.AudioChannels)}};
}

TSourceRow SourceOf(const QJsonObject& object) {
    TSourceRow source;
    source.VideoSize = Text(object["videoSize"]);
    source.FrameRate = Text(object["frameRate"]);
    source.Duration = Text(object["duration"]);
    source.DurationMs = static_cast<std::int64_t>(object["durationMs"].toDouble(-1));
    source.DisplayAspect = object["displayAspect"].toDouble();
    source.Streams.AudioTracks = object["audioTracks"].toInt(-1);
    source.Streams.SubtitleTracks = object["subtitleTracks"].toInt(-1);
    source.Streams.TextSubtitleTracks = object["textSubtitleTracks"].toInt(-1);
    source.Streams.AudioSampleRate = object["audioSampleRate"].toInt(-1);
    for (const QJsonValue& channels : object["audioChannels"].toArray()) source.Streams.AudioChannels.push_back(channels.toInt());
    return source;
}

QJsonObject RowObject(const TStoredRow& row) {
    QJsonObject object{{"path", row.Path},     {"checked", row.Checked}, {"outcome", row.Outcome},
                       {"details", row.Details}, {"output", row.Output}};
    if (row.Described) object["source"] = SourceObject(row.Source);
    return object;
}

TStoredRow RowOf(const QJsonObject& object) {
    TStoredRow row;
    row.Path = object["path"].toString();
    row.Checked = object["checked"].toBool(true);
    row.Outcome = object["outcome"].toString();
    row.Details = object["details"].toString();
    row.Output = object["output"].toString();
    row.Described = object["source"].isObject();
    if (row.Described) row.Source = SourceOf(object["source"].toObject());
    return row;
}

}  // namespace

QString StoredListPath() {
    QString state = qEnvironmentVariable("XDG_STATE_HOME");
    // Relative values are to be ignored, as for every XDG folder variable.
    if (state.isEmpty() || QDir::isRelativePath(state)) state = QDir::homePath() + QStringLiteral("/.local/state");
    return state + QStringLiteral("/brenvale/file-list.json");
}

bool WriteStoredList(const std::vector<TStoredRow>& rows) {
    QJsonArray list;
    for (const TStoredRow& row : rows) list.append(RowObject(row));
    const QJsonObject document{{"version", kFormatVersion}, {"rows", list}};
    const QString path = StoredListPath();
    if (!QDir().mkpath(QFileInfo(path).path())) return false;
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) return false;
    file.write(QJsonDocument(document).toJson(QJsonDocument::Compact));
    return file.commit();
}

std::vector<TStoredRow> ReadStoredList() {
    QFile file(StoredListPath());
    if (!file.open(QIODevice::ReadOnly)) return {};
    const QJsonObject document = QJsonDocument::fromJson(file.readAll()).object();
    if (document["version"].toInt() != kFormatVersion) return {};
    std::vector<TStoredRow> rows;
    for (const QJsonValue& row : document["rows"].toArray()) {
        const TStoredRow stored = RowOf(row.toObject());
        if (!stored.Path.isEmpty()) rows.push_back(stored);
    }
    return rows;
}

}  // namespace brenvale
