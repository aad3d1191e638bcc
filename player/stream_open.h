// Opening and closing the file and its streams, on the decoding thread.
#pragma once

namespace brenvale::player {

struct StreamState;

// Opens the file and reads its stream information; false with LastError set.
bool OpenInput(StreamState& is);
// Opens the chosen audio, video and subtitle streams; false (LastError set) when neither
// audio nor video opened.
bool OpenStreams(StreamState& is);
// Stops the decoder threads and the sound and closes every open stream.
void CloseStreams(StreamState& is);

}  // namespace brenvale::player
