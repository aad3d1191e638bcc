// The filter graph of one video stream: a "buffer" source for the decoded pictures, an optional
// "scale" step, the filters of a text, and a "buffersink" that hands out pictures in the one
// pixel format the encoder takes. Used on the job's worker thread only.
#pragma once

#include <cstdint>
#include <string>

extern "C" {
#include <libavutil/rational.h>
}

struct AVFilterContext;
struct AVFilterGraph;
struct AVFrame;

namespace brenvale {

struct TFilterChainSetup {
    int width = 0;  // of the decoded pictures
    int height = 0;
    int pix_fmt = -1;
    AVRational sample_aspect_ratio{0, 1};
    int scale_width = 0;  // 0: no scale step
    int scale_height = 0;
    std::string filters;  // empty: straight to the sink
    int output_pix_fmt = -1;
    int sws_flags = 0;  // scaler flags of the scale step and of the conversions the graph adds
};

class TVideoFilterChain {
public:
    TVideoFilterChain() = default;
    ~TVideoFilterChain() { release(); }
    TVideoFilterChain(const TVideoFilterChain&) = delete;
    TVideoFilterChain& operator=(const TVideoFilterChain&) = delete;

    // False when the libraries refuse the chain; nothing is kept then.
    bool configure(const TFilterChainSetup& setup);
    bool configured() const { return graph_ != nullptr; }

    // What leaves the chain, known once it is configured.
    int output_width() const;
    int output_height() const;
    AVRational output_sample_aspect_ratio() const;

    // Takes the picture's reference (the frame is left empty); `pts_us` is its input time.
    // False when the chain refuses it.
    bool push(AVFrame& picture, std::int64_t pts_us);
    // The end of the input: what the filters still hold can be pulled. Closing again does
    // nothing; false when the chain refuses the end.
    bool close();
    // 1 with a picture in `filtered` (which must be empty; the caller then owns the picture)
    // and its time in `pts_us` (kept when the picture has none); 0 when no picture is ready,
    // -1 on failure.
    int pull(AVFrame& filtered, std::int64_t& pts_us);

    void release();

private:
    bool build(const TFilterChainSetup& setup);
    bool add_sink(int pix_fmt);
    bool add_scale(const TFilterChainSetup& setup, AVFilterContext*& last);
    bool add_filters(const std::string& filters, AVFilterContext* last);

    AVFilterGraph* graph_ = nullptr;  // owns the filters below
    AVFilterContext* source_ = nullptr;
    AVFilterContext* sink_ = nullptr;
    bool closed_ = false;
};

}  // namespace brenvale
