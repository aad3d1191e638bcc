#include "tools/media_generator.h"

#include <filesystem>
#include <fstream>
#include <memory>
#include <random>
#include <system_error>
#include <vector>

#include "tools/output_file.h"
#include "tools/sound_lead.h"
#include "tools/track_writer.h"

namespace brenvale::mediagen {
namespace {

constexpr std::size_t kRandomByteCount = 64 * 1024;
constexpr std::uint32_t kRandomSeed = 20090101;

using Tracks = std::vector<std::unique_ptr<TrackWriter>>;

Tracks MakeTracks(OutputFile& output, const ClipDescription& description) {
    Tracks tracks;
    if (description.video) tracks.push_back(MakeVideoTrack(output, *description.video));
    for (const AudioSpec& audio : description.audio)
        tracks.push_back(StoredAhead(MakeAudioTrack(output, audio), description.flags.sound_lead_ms));
    if (description.subtitle) tracks.push_back(MakeSubtitleTrack(output, *description.subtitle));
    if (description.cover) tracks.push_back(MakeCoverTrack(output, *description.cover));
    return tracks;
}

TrackWriter* EarliestUnfinished(const Tracks& tracks) {
    TrackWriter* earliest = nullptr;
    for (const auto& track : tracks) {
        if (track->Finished()) continue;
        if (!earliest || ff::av_compare_ts(track->NextTime(), track->TimeBase(),
                                           earliest->NextTime(), earliest->TimeBase()) < 0) {
            earliest = track.get();
        }
    }
    return earliest;
}

void WriteMedia(const ClipDescription& description, const std::string& path) {
    if (description.StreamCount() == 0)
        throw GenerationError(description.name + " describes no track");
    OutputFile output(description.format, path);
    // The muxer's interleaving by time stamp would undo a lead.
    if (description.flags.sound_lead_ms != 0) output.KeepWriteOrder();
    const Tracks tracks = MakeTracks(output, description);
    for (const auto& [key, value] : description.tags) output.SetTag(key, value);
    output.WriteHeader();
    while (TrackWriter* next = EarliestUnfinished(tracks)) next->WriteNext();
    output.Finish();
}

void WriteRandomBytes(const std::string& path) {
    std::mt19937 generator(kRandomSeed);
    std::vector<char> bytes(kRandomByteCount);
    for (char& byte : bytes) byte = static_cast<char>(generator() & 0xff);
    std::ofstream file(std::filesystem::path(path), std::ios::binary | std::ios::trunc);
    file.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    if (!file.flush()) throw GenerationError("cannot write " + path);
}

void CutToHalf(const std::string& path) {
    std::error_code error;
    const auto size = std::filesystem::file_size(path, error);
    if (!error) std::filesystem::resize_file(path, size / 2, error);
    if (error) throw GenerationError("cannot cut " + path + ": " + error.message());
}

}  // namespace

void Generate(const ClipDescription& description, const std::string& path) {
    if (description.flags.random_bytes) {
        WriteRandomBytes(path);
        return;
    }
    WriteMedia(description, path);
    if (description.flags.cut_short) CutToHalf(path);
}

}  // namespace brenvale::mediagen
