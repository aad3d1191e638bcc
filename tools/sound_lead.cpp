#include "tools/sound_lead.h"

namespace brenvale::mediagen {
namespace {

class LeadingTrack final : public TrackWriter {
public:
    LeadingTrack(std::unique_ptr<TrackWriter> track, std::int64_t lead_ms)
        : track_(std::move(track)), lead_(ff::av_rescale_q(lead_ms, AVRational{1, 1000}, track_->TimeBase())) {}

    bool Finished() const override { return track_->Finished(); }
    std::int64_t NextTime() const override { return track_->NextTime() - lead_; }
    AVRational TimeBase() const override { return track_->TimeBase(); }
    void WriteNext() override { track_->WriteNext(); }

private:
    std::unique_ptr<TrackWriter> track_;
    std::int64_t lead_;  // in the track's time base
};

}  // namespace

std::unique_ptr<TrackWriter> StoredAhead(std::unique_ptr<TrackWriter> track, std::int64_t lead_ms) {
    if (lead_ms == 0) return track;
    return std::make_unique<LeadingTrack>(std::move(track), lead_ms);
}

}  // namespace brenvale::mediagen
