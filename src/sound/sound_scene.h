// SoundScene: the game's sound as the frame loop drives it: once per frame
// update() turns a SoundFrame into voices on the output, at the player's
// volume, silent while paused or muted. The playback device is opened and the
// clips read on a thread of its own, so the start-up and the frames never wait
// for an audio system (a missing or hung sound server included): the scene is
// silent until that thread is done, and when it failed the next update says
// why once on stderr and the game stays silent. An offline render gives the
// scene its loopback output directly.
//
// Shortcomings: the opening thread is joined when the scene goes (and a failure
// not yet said is said then), so a sound server that never answers holds up
// the quit; a failed device is not retried.
#pragma once

#include <atomic>
#include <memory>
#include <string>
#include <thread>

#include "sound/sound_output.h"

namespace torvane {

class SoundScene {
public:
    // volume 0..1 (clamped); muted: silent until toggleMute.
    SoundScene(float volume, bool muted);
    ~SoundScene();
    SoundScene(const SoundScene&) = delete;
    SoundScene& operator=(const SoundScene&) = delete;

    // Reads the clips from folder and opens the default playback device, on the opening thread.
    void startPlayback(std::string folder);
    // Plays through output from now on (a loopback device).
    void use(std::unique_ptr<SoundOutput> output);

    // The voices for frame, heard from the frame's listener.
    void update(const SoundFrame& frame);
    // Held: silent from now until released, as while paused (a watched drive stopped by its viewer).
    void setHeld(bool value);
    void toggleMute() { muted = !muted; }
    bool isMuted() const { return muted; }
    SoundOutput* output() const { return playing.get(); }

private:
    // Takes what the opening thread made once it is done (wait: waiting for it).
    void adoptOpened(bool wait);
    void apply();

    float volume;
    bool muted;
    bool held = false;
    SoundFrame last; // the last frame's voices, without its thump
    std::unique_ptr<SoundOutput> playing;
    std::thread opener;
    std::atomic<bool> openerDone{false};
    std::unique_ptr<SoundOutput> opened; // written by the opener before openerDone
    std::string openFailure;             // likewise; empty: none
};

} // namespace torvane
