#pragma once

namespace tessel {

// Opens the mixer at 44.1 kHz, 16-bit stereo, 2048-frame buffers. False
// (after "Unable to open audio!") when there is no device; the engine then
// runs silent.
bool OpenAudio();
void CloseAudio();
bool AudioIsOpen();

}  // namespace tessel
