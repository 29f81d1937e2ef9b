#include "main/replay_sound.h"

#include "app/game.h"
#include "core/message_sink.h"

namespace torvane {

int ReplaySound::start(Game& game, Outputs& outputs)
{
    if (!outputs.wavFile) {
        return kDone;
    }
    path = outputs.wavPath;
    const ClipsRead read = readSoundClips("sounds");
    std::string why = read.error;
    std::unique_ptr<SoundOutput> output = read.clips ? SoundOutput::openLoopback(*read.clips, why) : nullptr;
    if (output == nullptr) {
        diagnose(path + ": no sound rendered: " + why);
        return kNoDevice;
    }
    scene.use(std::move(output));
    wav = std::make_unique<WavRender>(*scene.output(), outputs.wavFile->file());
    if (!wav->isOpen()) {
        reportUnwritable(path);
        return kOutputFailed;
    }
    game.sound = &scene;
    return kDone;
}

int ReplaySound::afterFrame(float dt)
{
    if (wav == nullptr || wav->advance(dt)) {
        return kDone;
    }
    reportUnwritable(path);
    return kOutputFailed;
}

int ReplaySound::finish()
{
    if (wav == nullptr || wav->finish()) {
        return kDone;
    }
    reportUnwritable(path);
    return kOutputFailed;
}

} // namespace torvane
