#include "sound/sound_scene.h"

#include <algorithm>

#include "core/message_sink.h"
#include "core/player_messages.h"

namespace torvane {

SoundScene::SoundScene(float gain, bool startMuted) : volume(std::clamp(gain, 0.0f, 1.0f)), muted(startMuted) {}

SoundScene::~SoundScene()
{
    adoptOpened(true); // a run shorter than the opening still says why it was silent
    playing.reset();
}

void SoundScene::startPlayback(std::string folder)
{
    opener = std::thread([this, folder = std::move(folder)] {
        ClipsRead read = readSoundClips(folder);
        if (!read.clips) {
            openFailure = read.error;
        } else {
            opened = SoundOutput::openPlayback(*read.clips, openFailure);
        }
        openerDone.store(true, std::memory_order_release);
    });
}

void SoundScene::use(std::unique_ptr<SoundOutput> output)
{
    playing = std::move(output);
}

void SoundScene::adoptOpened(bool wait)
{
    if (!opener.joinable() || (!wait && !openerDone.load(std::memory_order_acquire))) {
        return;
    }
    opener.join();
    playing = std::move(opened);
    if (playing == nullptr) {
        diagnose(std::string(kSilentGame) + openFailure);
    }
}

void SoundScene::update(const SoundFrame& frame)
{
    adoptOpened(false);
    last = frame;
    apply();
    last.impactSpeed = 0.0f; // a thump is started once
}

void SoundScene::setHeld(bool value)
{
    if (held != value) {
        held = value;
        apply();
    }
}

void SoundScene::apply()
{
    if (playing != nullptr) {
        const float gain = last.paused || muted || held ? 0.0f : volume;
        playing->apply(mixSound(last), last.listenerPosition, last.listenerForward, gain);
    }
}

} // namespace torvane
