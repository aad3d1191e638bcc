// The "Snap" sound of a snapshot: the WAV resource played through SDL audio.
#pragma once

namespace brenvale {

// Plays the sound and returns when it has finished (main-thread calls are served meanwhile).
// Does nothing when SDL is not loaded or there is no sound device: the snapshot goes on.
void PlaySnapSound();

}  // namespace brenvale
