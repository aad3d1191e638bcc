#include "engine/bitstream_filter_chain.h"

#include <utility>

#include "binding/media_api.h"

namespace brenvale {

void TBitstreamFilterChain::append(AVBSFContext* context) {
    try {
        contexts_.push_back(context);
    } catch (...) {
        ff::av_bsf_free(&context);
        throw;
    }
}

std::vector<AVBSFContext*> TBitstreamFilterChain::take() { return std::exchange(contexts_, {}); }

void TBitstreamFilterChain::clear() {
    for (AVBSFContext*& context : contexts_) ff::av_bsf_free(&context);
    contexts_.clear();
}

}  // namespace brenvale
