#include <cstring>
#include <vector>

#include "tools/library_glue.h"
#include "tools/output_file.h"
#include "tools/track_writer.h"

namespace brenvale::mediagen {
namespace {

constexpr AVRational kMillisecond{1, 1000};
constexpr int kMaxCueBytes = 64 * 1024;

// Text encoders read cues as ASS events and need a script header with the default style.
constexpr const char kAssHeader[] =
    "[Script Info]\r\nScriptType: v4.00+\r\nPlayResX: 384\r\nPlayResY: 288\r\n\r\n"
    "[V4+ Styles]\r\n"
    "Format: Name, Fontname, Fontsize, PrimaryColour, SecondaryColour, OutlineColour, BackColour, "
    "Bold, Italic, Underline, StrikeOut, ScaleX, ScaleY, Spacing, Angle, BorderStyle, Outline, "
    "Shadow, Alignment, MarginL, MarginR, MarginV, Encoding\r\n"
    "Style: Default,Arial,16,&Hffffff,&Hffffff,&H0,&H0,0,0,0,0,100,100,0,0,1,1,0,2,10,10,10,0\r\n"
    "\r\n"
    "[Events]\r\n"
    "Format: Layer, Start, End, Style, Name, MarginL, MarginR, MarginV, Effect, Text\r\n";

class SubtitleTrack final : public TrackWriter {
public:
    SubtitleTrack(OutputFile& output, const SubtitleSpec& setup)
        : output_(output),
          spec_(setup),
          context_(AllocateContext(FindEncoder(setup.codec))),
          packet_(AllocatePacket()),
          buffer_(kMaxCueBytes) {
        context_->time_base = kMillisecond;
        context_->subtitle_header = reinterpret_cast<std::uint8_t*>(ff::av_strdup(kAssHeader));
        context_->subtitle_header_size = static_cast<int>(std::strlen(kAssHeader));
        stream_ = output.AddEncodedStream(context_.get());
    }

    bool Finished() const override { return next_cue_ >= spec_.cues.size(); }
    std::int64_t NextTime() const override { return spec_.cues[next_cue_].start_ms; }
    AVRational TimeBase() const override { return kMillisecond; }

    void WriteNext() override {
        const SubtitleCue& cue = spec_.cues[next_cue_++];
        const int size = EncodeCue(cue);
        ThrowOnError(ff::av_new_packet(packet_.get(), size), "subtitle packet");
        std::memcpy(packet_->data, buffer_.data(), static_cast<std::size_t>(size));
        packet_->pts = packet_->dts = cue.start_ms;
        packet_->duration = cue.end_ms - cue.start_ms;
        packet_->flags |= AV_PKT_FLAG_KEY;
        output_.WritePacket(packet_.get(), stream_, kMillisecond);
    }

private:
    int EncodeCue(const SubtitleCue& cue) {
        std::string event = "0,0,Default,,0,0,0,," + cue.text;
        AVSubtitleRect rect{};
        rect.type = SUBTITLE_ASS;
        rect.ass = event.data();
        AVSubtitleRect* rects[] = {&rect};
        AVSubtitle subtitle{};
        subtitle.pts = cue.start_ms * 1000;
        subtitle.end_display_time = static_cast<std::uint32_t>(cue.end_ms - cue.start_ms);
        subtitle.num_rects = 1;
        subtitle.rects = rects;
        const int size =
            ff::avcodec_encode_subtitle(context_.get(), buffer_.data(), kMaxCueBytes, &subtitle);
        ThrowOnError(size, "encode subtitle with " + spec_.codec);
        return size;
    }

    OutputFile& output_;
    SubtitleSpec spec_;
    CodecContextPtr context_;
    AVStream* stream_ = nullptr;
    PacketPtr packet_;
    std::vector<std::uint8_t> buffer_;
    std::size_t next_cue_ = 0;
};

}  // namespace

std::unique_ptr<TrackWriter> MakeSubtitleTrack(OutputFile& output, const SubtitleSpec& setup) {
    return std::make_unique<SubtitleTrack>(output, setup);
}

}  // namespace brenvale::mediagen
