#include "app/catalogue/source_probe.h"

namespace brenvale {

TSourceRow DescribeOpenFile(TAVProbe& probe) {
    TFileStreamInfo file;
    TVideoStreamInfo video;
    probe.GetFileStreamInfo(file);
    if (probe.VideoStreamCount() > 0) probe.GetVideoStreamInfo(video);
    TSourceRow row = DescribeSource(probe.VideoStreamCount(), file, video);
    row.Streams.AudioTracks = probe.AudioStreamCount();
    row.Streams.SubtitleTracks = probe.SubtitleStreamCount();
    row.Streams.TextSubtitleTracks = probe.TextSubtitleStreamCount();
    if (probe.AudioStreamCount() > 0) {
        TAudioStreamInfo audio;
        probe.GetAudioStreamInfo(audio);
        row.Streams.AudioSampleRate = audio.SampleRate;
        row.Streams.AudioChannels = audio.Channels;
    }
    return row;
}

}  // namespace brenvale
