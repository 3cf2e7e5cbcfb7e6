#pragma once

namespace tessel {

// The most sound-effect channels a script may allocate.
constexpr int kMaxChunkChannels = 1024;

// Opens the mixer at 44.1 kHz, 16-bit stereo, 2048-frame buffers, with 8
// sound-effect channels, and adds the music track's idle call to the event
// handler list. False (after "Unable to open audio!") when there is no
// device; the engine then runs silent and every sound command does nothing.
bool OpenAudio();
// Frees what live sound objects still hold, then closes the mixer. The objects
// stay valid (without sound) until they are released.
void CloseAudio();
bool AudioIsOpen();

// Sound-effect channels the mixer has now; 0 while audio is closed.
int ChunkChannelCount();
// Changes the number of channels (0..kMaxChunkChannels; larger counts are
// clamped, negative ones ignored). Channels dropped are halted first.
void AllocateChunkChannels(int count);
// Whether a per-channel mixer call may name this channel: -1 (every channel,
// or the first free one when starting) or an allocated channel, audio open.
bool IsUsableChannel(int channel);

}  // namespace tessel
