// A pending chain of bitstream filter contexts, handed to the next output stream of its type.
#pragma once

#include <vector>

struct AVBSFContext;

namespace brenvale {

// Owns its contexts (allocated, not yet initialised: their parameters come from the stream).
class TBitstreamFilterChain {
public:
    TBitstreamFilterChain() = default;
    ~TBitstreamFilterChain() { clear(); }
    TBitstreamFilterChain(const TBitstreamFilterChain&) = delete;
    TBitstreamFilterChain& operator=(const TBitstreamFilterChain&) = delete;

    // Takes ownership, also when it throws.
    void append(AVBSFContext* context);
    // Hands the contexts over, first filter first; the chain is empty afterwards.
    std::vector<AVBSFContext*> take();
    const std::vector<AVBSFContext*>& contexts() const { return contexts_; }
    bool empty() const { return contexts_.empty(); }
    void clear();

private:
    std::vector<AVBSFContext*> contexts_;
};

}  // namespace brenvale
