// Picture buffers reused from one picture to the next: a buffer comes back to the pool when the
// last reference to it goes (the encoder's included), so a picture still held is never
// overwritten and the steady state allocates nothing.
#pragma once

struct AVBufferPool;
struct AVFrame;

namespace brenvale {

// One thread fills pictures; the references it hands out may be released on any thread (the
// library's pool locks itself).
class TPicturePool {
public:
    TPicturePool() = default;
    ~TPicturePool();
    TPicturePool(const TPicturePool&) = delete;
    TPicturePool& operator=(const TPicturePool&) = delete;

    // Gives `picture` (unreferenced first) planes of `format` at `width` x `height` from the
    // pool; the pool is remade only when pictures grow. False when no memory is left.
    bool fill(AVFrame& picture, int format, int width, int height);
    void release();

private:
    AVBufferPool* pool_ = nullptr;  // library allocator
    int buffer_size_ = 0;           // bytes of each buffer
};

}  // namespace brenvale
