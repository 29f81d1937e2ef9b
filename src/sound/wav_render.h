// WavRender: a drive's sound rendered offline. After each frame the loopback
// output mixes exactly as many samples as the frames' times add up to (so a
// recording renders to the same samples every time), and libsndfile writes them
// as 16-bit stereo WAV at kRenderRate to an open file.
//
// Shortcoming: samples beyond full scale are clipped, not limited.
#pragma once

#include <cstdint>
#include <cstdio>

#include "sound/sound_output.h"

struct sf_private_tag; // libsndfile's SNDFILE

namespace torvane {

class WavRender {
public:
    // Writes into file from its start (the descriptor is used; the caller closes it after finish).
    WavRender(SoundOutput& output, std::FILE* file);
    ~WavRender();
    WavRender(const WavRender&) = delete;
    WavRender& operator=(const WavRender&) = delete;

    bool isOpen() const { return wav != nullptr; }
    // Renders the sound of seconds more; false when the file refused it.
    bool advance(double seconds);
    // Completes the WAV header; false when that failed.
    bool finish();

private:
    static constexpr int kChunkFrames = 1024;
    SoundOutput& output;
    sf_private_tag* wav = nullptr;
    double seconds = 0.0;          // rendered time owed so far
    std::int64_t rendered = 0;     // stereo frames written
    float chunk[2 * kChunkFrames] = {};
};

} // namespace torvane
