// SoundOutput: the OpenAL side of the game's sound. Owns one device (the
// default playback device, or a loopback device that renders into memory for
// offline use), its context, the four clips as buffers and the voices as
// sources: two engine loops, a squeal loop per tyre and three thump sources
// taken in turn. apply() sets every voice from a SoundMix in one deferred
// batch, so a frame's changes are heard together; it never waits for the
// mixer and allocates nothing.
//
// Shortcomings: one context per process (OpenAL's current context is
// global); a thump cuts the oldest of three still ringing; a device lost while
// playing (unplugged) is not reopened.
#pragma once

#include <memory>
#include <string>

#include "sound/sound_clips.h"
#include "sound/sound_mix.h"

namespace torvane {

// The stereo float samples per second of a loopback render.
inline constexpr int kRenderRate = 44100;
inline constexpr int kThumpVoices = 3;

class SoundOutput {
public:
    // The default playback device; nullptr, with why set, when there is none,
    // it is OpenAL's "No Output" device, or it refuses a context.
    static std::unique_ptr<SoundOutput> openPlayback(const SoundClips& clips, std::string& why);
    // A loopback device rendering kRenderRate stereo floats; nullptr, with why set, when refused.
    static std::unique_ptr<SoundOutput> openLoopback(const SoundClips& clips, std::string& why);
    ~SoundOutput();
    SoundOutput(const SoundOutput&) = delete;
    SoundOutput& operator=(const SoundOutput&) = delete;

    // Sets every voice, the listener (position, facing) and the overall gain (0..1).
    void apply(const SoundMix& mix, Vector3 listener, Vector3 facing, float gain);
    // Mixes the next frames stereo frames into interleaved (2 floats each); loopback devices only.
    void render(float* interleaved, int frames);

private:
    struct Handles;
    explicit SoundOutput(std::unique_ptr<Handles> opened);
    static std::unique_ptr<SoundOutput> start(std::unique_ptr<Handles> opened, const SoundClips& clips,
                                              std::string& why);

    std::unique_ptr<Handles> al;
    int nextThump = 0;
};

} // namespace torvane
