// A replayed drive's sound, rendered offline into the run's WAV output: the
// game's sound scene on a loopback device, advanced by each frame's time, so
// the same drive (recorded or scripted) renders to the same samples. Mute
// toggles in the drive are not heard: the render is always of the drive.
#pragma once

#include <memory>

#include "main/replay_outputs.h"
#include "sound/sound_scene.h"
#include "sound/wav_render.h"

namespace torvane {

class ReplaySound {
public:
    // Gives game the rendering scene when outputs ask for a WAV (the clips read
    // from the data folder's sounds/); the exit status, after saying what failed.
    int start(Game& game, Outputs& outputs);
    // The sound of the frame just run, dt seconds long; the exit status.
    int afterFrame(float dt);
    // Completes the WAV; the exit status.
    int finish();

private:
    SoundScene scene{1.0f, false};
    std::unique_ptr<WavRender> wav;
    std::string path;
};

} // namespace torvane
