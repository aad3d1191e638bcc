#include "cli/info_command.h"

#include <cstdio>

#include "app/catalogue/failure_reason.h"
#include "app/catalogue/source_probe.h"
#include "app/catalogue/text_rules.h"
#include "probe/media_facts.h"

namespace brenvale::cli {
namespace {

std::string OrNone(const std::string& text) { return TrimBlanks(text).empty() ? "none" : text; }

// Numbers with a "." whatever the locale, in their shortest form.
std::string Decimal(double value, int decimals) { return ShortestDecimal(value, decimals); }

std::string KilobitsText(std::int64_t bits_per_second) { return std::to_string((bits_per_second + 500) / 1000) + " kb/s"; }

std::string StreamLine(const TStreamFacts& stream) {
    std::string line = stream.Type + " " + stream.Codec;
    if (!stream.Profile.empty()) line += " (" + stream.Profile + ")";
    if (stream.Width > 0) line += ", " + std::to_string(stream.Width) + "x" + std::to_string(stream.Height);
    if (stream.FrameRate > 0) line += ", " + Decimal(stream.FrameRate, 2) + " fps";
    if (!stream.PixelFormat.empty()) line += ", " + stream.PixelFormat;
    if (stream.Channels > 0) {
        line += ", " + std::to_string(stream.Channels) + (stream.Channels == 1 ? " channel" : " channels");
        if (!stream.ChannelLayout.empty()) line += " (" + stream.ChannelLayout + ")";
    }
    if (stream.SampleRate > 0) line += ", " + std::to_string(stream.SampleRate) + " Hz";
    if (stream.BitRate > 0) line += ", " + KilobitsText(stream.BitRate);
    if (!stream.Language.empty()) line += ", language " + stream.Language;
    return line;
}

void PrintText(const std::string& file, TAVProbe& probe, const TMediaFacts& facts, std::ostream& out) {
    const TSourceRow row = DescribeOpenFile(probe);
    out << file << '\n' << "  container:  " << facts.Container;
    if (!facts.ContainerDescription.empty()) out << " (" << facts.ContainerDescription << ")";
    out << '\n'
        << "  video size: " << OrNone(row.VideoSize) << '\n'
        << "  frame rate: " << OrNone(row.FrameRate) << '\n'
        << "  duration:   " << row.Duration;
    if (facts.DurationUs >= 0) out << " (" << Decimal(facts.DurationUs / 1e6, 3) << " s)";
    out << '\n' << "  bit rate:   " << (facts.BitRate > 0 ? KilobitsText(facts.BitRate) : "unknown") << '\n'
        << "  streams:    " << probe.StreamCount() << " (video " << probe.VideoStreamCount() << ", audio "
        << probe.AudioStreamCount() << ", subtitle " << probe.SubtitleStreamCount() << ")\n";
    for (const TStreamFacts& stream : facts.Streams) out << "  stream " << stream.Index << ":   " << StreamLine(stream) << '\n';
}

std::string JsonText(const std::string& text) {
    std::string quoted = "\"";
    for (const unsigned char c : text) {
        if (c == '"' || c == '\\') {
            quoted += '\\';
            quoted += static_cast<char>(c);
        } else if (c < 0x20) {
            char escaped[8];
            std::snprintf(escaped, sizeof escaped, "\\u%04x", c);
            quoted += escaped;
        } else {
            quoted += static_cast<char>(c);
        }
    }
    return quoted + "\"";
}

// Unknown numbers are null.
std::string JsonNumber(double value, bool known) { return known ? Decimal(value, 6) : "null"; }
std::string JsonNumber(std::int64_t value) { return value >= 0 ? std::to_string(value) : "null"; }

class TJsonObject {
public:
    TJsonObject& Field(const std::string& name, const std::string& json) {
        text_ += (text_.empty() ? "{" : ", ") + JsonText(name) + ": " + json;
        return *this;
    }
    TJsonObject& Text(const std::string& name, const std::string& value) { return Field(name, JsonText(value)); }
    std::string Close() const { return text_.empty() ? "{}" : text_ + "}"; }

private:
    std::string text_;
};

std::string StreamJson(const TStreamFacts& stream) {
    TJsonObject object;
    object.Field("index", std::to_string(stream.Index)).Text("type", stream.Type).Text("codec", stream.Codec);
    object.Field("profile", stream.Profile.empty() ? "null" : JsonText(stream.Profile));
    object.Field("bit_rate", JsonNumber(stream.BitRate));
    object.Field("language", stream.Language.empty() ? "null" : JsonText(stream.Language));
    if (stream.Type == "video") {
        object.Field("width", JsonNumber(stream.Width)).Field("height", JsonNumber(stream.Height));
        object.Field("frame_rate", JsonNumber(stream.FrameRate, stream.FrameRate > 0));
        object.Field("pixel_format", stream.PixelFormat.empty() ? "null" : JsonText(stream.PixelFormat));
    } else if (stream.Type == "audio") {
        object.Field("channels", JsonNumber(stream.Channels));
        object.Field("channel_layout", stream.ChannelLayout.empty() ? "null" : JsonText(stream.ChannelLayout));
        object.Field("sample_rate", JsonNumber(stream.SampleRate));
    }
    return object.Close();
}

std::string FileJson(const std::string& file, const TMediaFacts& facts) {
    std::string streams;
    for (const TStreamFacts& stream : facts.Streams) streams += (streams.empty() ? "" : ", ") + StreamJson(stream);
    TJsonObject object;
    object.Text("file", file).Text("container", facts.Container).Text("container_description", facts.ContainerDescription);
    object.Field("duration", JsonNumber(facts.DurationUs / 1e6, facts.DurationUs >= 0));
    object.Field("bit_rate", JsonNumber(facts.BitRate)).Field("streams", "[" + streams + "]");
    return object.Close();
}

}  // namespace

bool PrintFileInfo(TAVProbe& probe, const std::vector<std::string>& files, bool json, std::ostream& out,
                   std::ostream& errors) {
    bool all_opened = true;
    std::string array;
    for (const std::string& file : files) {
        std::string entry;
        if (!probe.LoadFile(file)) {
            const std::string reason = ReadableReason(file, probe.LastError());
            errors << "brenvale-cli: " << file << ": " << reason << '\n';
            entry = TJsonObject().Text("file", file).Text("error", reason).Close();
            all_opened = false;
        } else {
            const TMediaFacts facts = DescribeMedia(*probe.FormatContext());
            if (json) entry = FileJson(file, facts);
            else PrintText(file, probe, facts, out);
            probe.Close();
        }
        array += (array.empty() ? "" : ",\n ") + entry;
    }
    if (json) out << "[" << array << "]\n";
    return all_opened;
}

}  // namespace brenvale::cli
