#include "engine/video_filter_chain.h"

#include <algorithm>

#include "binding/media_api.h"
#include "engine/text_format.h"

namespace brenvale {
namespace {

// Pictures enter with their input time in microseconds.
constexpr AVRational kSourceTimeBase{1, AV_TIME_BASE};

std::string source_arguments(const TFilterChainSetup& setup) {
    const char* format = ff::av_get_pix_fmt_name(static_cast<AVPixelFormat>(setup.pix_fmt));
    const AVRational sar = setup.sample_aspect_ratio;
    return format_text("video_size=%dx%d:pix_fmt=%s:time_base=%d/%d:pixel_aspect=%d/%d", setup.width, setup.height,
                    format ? format : "none", kSourceTimeBase.num, kSourceTimeBase.den, sar.num, std::max(sar.den, 1));
}

// One open end of the parsed text, attached to an existing filter.
AVFilterInOut* open_end(const char* name, AVFilterContext* filter) {
    AVFilterInOut* end = ff::avfilter_inout_alloc();
    if (!end) return nullptr;
    end->name = ff::av_strdup(name);
    end->filter_ctx = filter;
    end->pad_idx = 0;
    end->next = nullptr;
    if (!end->name) ff::avfilter_inout_free(&end);
    return end;
}

}  // namespace

bool TVideoFilterChain::configure(const TFilterChainSetup& setup) {
    release();
    graph_ = ff::avfilter_graph_alloc();
    if (graph_ && build(setup)) return true;
    release();
    return false;
}

bool TVideoFilterChain::build(const TFilterChainSetup& setup) {
    if (ff::avfilter_graph_create_filter(&source_, ff::avfilter_get_by_name("buffer"), "src",
                                         source_arguments(setup).c_str(), nullptr, graph_) < 0)
        return false;
    if (!add_sink(setup.output_pix_fmt)) return false;
    AVFilterContext* last = source_;
    if (!add_scale(setup, last)) return false;
    if (setup.filters.empty() ? ff::avfilter_link(last, 0, sink_, 0) < 0 : !add_filters(setup.filters, last))
        return false;
    graph_->scale_sws_opts = ff::av_strdup(format_text("flags=%d", setup.sws_flags).c_str());
    return graph_->scale_sws_opts && ff::avfilter_graph_config(graph_, nullptr) >= 0;
}

bool TVideoFilterChain::add_sink(int pix_fmt) {
    sink_ = ff::avfilter_graph_alloc_filter(graph_, ff::avfilter_get_by_name("buffersink"), "out");
    if (!sink_) return false;
    const AVPixelFormat formats[] = {static_cast<AVPixelFormat>(pix_fmt)};
    return ff::av_opt_set_bin(sink_, "pix_fmts", reinterpret_cast<const std::uint8_t*>(formats), sizeof formats,
                              AV_OPT_SEARCH_CHILDREN) >= 0 &&
           ff::avfilter_init_str(sink_, nullptr) >= 0;
}

bool TVideoFilterChain::add_scale(const TFilterChainSetup& setup, AVFilterContext*& last) {
    if (setup.scale_width <= 0 || setup.scale_height <= 0) return true;
    AVFilterContext* scale = nullptr;
    const std::string arguments = format_text("%d:%d:flags=%d", setup.scale_width, setup.scale_height, setup.sws_flags);
    if (ff::avfilter_graph_create_filter(&scale, ff::avfilter_get_by_name("scale"), nullptr, arguments.c_str(), nullptr,
                                         graph_) < 0 ||
        ff::avfilter_link(last, 0, scale, 0) < 0)
        return false;
    last = scale;
    return true;
}

bool TVideoFilterChain::add_filters(const std::string& filters, AVFilterContext* last) {
    AVFilterInOut* outputs = open_end("in", last);
    AVFilterInOut* inputs = open_end("out", sink_);
    const bool parsed =
        outputs && inputs && ff::avfilter_graph_parse_ptr(graph_, filters.c_str(), &inputs, &outputs, nullptr) >= 0;
    ff::avfilter_inout_free(&inputs);
    ff::avfilter_inout_free(&outputs);
    return parsed;
}

int TVideoFilterChain::output_width() const { return ff::av_buffersink_get_w(sink_); }

int TVideoFilterChain::output_height() const { return ff::av_buffersink_get_h(sink_); }

AVRational TVideoFilterChain::output_sample_aspect_ratio() const {
    return ff::av_buffersink_get_sample_aspect_ratio(sink_);
}

bool TVideoFilterChain::push(AVFrame& picture, std::int64_t pts_us) {
    picture.pts = pts_us;
    return ff::av_buffersrc_add_frame(source_, &picture) >= 0;
}

bool TVideoFilterChain::close() {
    if (closed_) return true;
    closed_ = true;
    return ff::av_buffersrc_add_frame(source_, nullptr) >= 0;
}

int TVideoFilterChain::pull(AVFrame& filtered, std::int64_t& pts_us) {
    const int result = ff::av_buffersink_get_frame(sink_, &filtered);
    if (result == AVERROR(EAGAIN) || result == AVERROR_EOF) return 0;
    if (result < 0) return -1;
    if (filtered.pts != AV_NOPTS_VALUE)
        pts_us = ff::av_rescale_q(filtered.pts, ff::av_buffersink_get_time_base(sink_), AV_TIME_BASE_Q);
    return 1;
}

void TVideoFilterChain::release() {
    if (graph_) ff::avfilter_graph_free(&graph_);
    source_ = nullptr;
    sink_ = nullptr;
    closed_ = false;
}

}  // namespace brenvale
