#pragma once

#include <string>

namespace tessel::test {

// Test sounds, made in code: 44.1 kHz 16-bit stereo, a 440 Hz sine of the
// given peak amplitude.
std::string WavFile(double seconds, int amplitude = 8000);
std::string OggFile(double seconds, double amplitude = 0.25);
// A four-channel tracker module holding one looped square-wave note.
std::string ModFile();

}  // namespace tessel::test
