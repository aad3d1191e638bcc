#include "app/catalogue/source_probe.h"

#include "binding/media_api.h"

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
    }
    // Covers are pictures, not tracks; every other audio stream is one.
    const AVFormatContext& file_context = *probe.FormatContext();
    for (unsigned i = 0; i < file_context.nb_streams; ++i) {
        const AVCodecParameters& codec = *file_context.streams[i]->codecpar;
        if (codec.codec_type == AVMEDIA_TYPE_AUDIO) row.Streams.AudioChannels.push_back(codec.ch_layout.nb_channels);
    }
    return row;
}

}  // namespace brenvale
