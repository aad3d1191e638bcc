// The video thread: decodes pictures, converts each into the one-entry picture queue's
// overlay and waits until the play thread has shown it.
#pragma once

namespace brenvale::player {

struct StreamState;

void VideoThread(StreamState& is);

// Play thread, on the allocate-picture event: a new overlay of the decoder's frame size.
void AllocatePicture(StreamState& is);

// Play thread, after the queued picture was shown: frees the slot for the next one.
void ReleasePicture(StreamState& is);

}  // namespace brenvale::player
