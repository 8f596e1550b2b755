// Ogg Vorbis files made in code with libvorbisenc.
#pragma once

#include <cstdint>
#include <string>

namespace t4::test {

// `frames` frames of a sine wave of `hz` at `amplitude` (0..1) on every channel.
std::string MakeOggSine(uint32_t rate, int channels, uint32_t frames, double hz, double amplitude);

}  // namespace t4::test
