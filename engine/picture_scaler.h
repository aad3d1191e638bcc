// The scaler of an output stream's pictures, working on the library's slice threads (one per
// core), rebuilt only when the pictures it is given change shape.
#pragma once

#include "engine/library_ptr.h"

struct AVFrame;

namespace brenvale {

struct TScaleShape {
    int source_width = 0;
    int source_height = 0;
    int source_format = -1;
    int target_width = 0;
    int target_height = 0;
    int target_format = -1;
    int flags = 0;

    bool operator==(const TScaleShape&) const = default;
};

// The worker thread of the job only.
class TPictureScaler {
public:
    // False when the library cannot scale between the two shapes.
    bool prepare(const TScaleShape& shape);
    // Prepared first. Both pictures must own their buffers (the slice threads keep references
    // while they work); `target` may be a view with its own size into a larger picture.
    bool scale(const AVFrame& source, AVFrame& target);
    SwsContext* context() const { return context_.get(); }

private:
    SwsPtr context_;
    TScaleShape shape_;
};

}  // namespace brenvale
