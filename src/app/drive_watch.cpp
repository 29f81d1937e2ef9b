#include "app/drive_watch.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <utility>

#include "app/recent_drives.h"
#include "app/recorded_play.h"
#include "car/debug_overlay.h"
#include "core/player_messages.h"
#include "sound/sound_scene.h"
#include "render/graphics_device.h"

namespace torvane {
namespace {

constexpr int kBarWidth = 30; // characters between the brackets
constexpr std::uint32_t kBarColour = 0xFFFFFF80;
constexpr TextRect kBarRect{10, 0, 790, 590};   // along the bottom edge
constexpr TextRect kHelpRect{10, 0, 790, 568}; // the row above it

} // namespace

bool DriveWatch::start(Game& game, Recording watched)
{
    recording = std::move(watched);
    frameEnds.clear();
    frameEnds.reserve(recording.frames.size());
    double seconds = 0.0;
    for (const RecordedFrame& recorded : recording.frames) {
        seconds += static_cast<double>(recorded.frameTime);
        frameEnds.push_back(seconds);
    }
    position = 0;
    playback = WatchClock{};
    viewerCameraMode = -1;
    const bool started = startRecordedDrive(game, recording);
    layOutBar();
    return started;
}

double DriveWatch::secondsAt(std::uint32_t frame) const
{
    return frame == 0 ? 0.0 : frameEnds[std::min<std::size_t>(frame, frameEnds.size()) - 1];
}

std::uint32_t DriveWatch::frameAt(double seconds) const
{
    return static_cast<std::uint32_t>(std::upper_bound(frameEnds.begin(), frameEnds.end(), seconds) -
                                      frameEnds.begin());
}

void DriveWatch::playNext(Game& game)
{
    GraphicsDevice* shown = game.device;
    game.device = &silent;
    ++position;
    playRecordedFrame(game, recording, position);
    game.device = shown;
}

void DriveWatch::goTo(Game& game, std::uint32_t frame)
{
    const std::uint32_t target = std::min(frame, frameCount());
    playback.settle();
    const bool nearAhead = target >= position && target - position <= recording.header.keyframeEvery;
    if (!nearAhead) {
        if (target == 0) {
            startRecordedDrive(game, recording);
            position = 0;
        } else {
            position = seekRecordedDrive(game, recording, target);
        }
    }
    // The frames on the way are not heard: a wall hit among them would thump.
    SoundScene* const sound = std::exchange(game.sound, nullptr);
    while (position < target) {
        playNext(game);
    }
    game.sound = sound;
}

void DriveWatch::actOnKeys(Game& game, const KeyPresses& keys)
{
    const bool atEnd = position >= frameCount();
    if (keys.pressed(kKeySpace)) {
        if (atEnd && !playback.isPlaying()) {
            goTo(game, 0);
        }
        playback.togglePlaying();
    }
    if (keys.pressed(kKeyPageUp)) {
        playback.faster();
    }
    if (keys.pressed(kKeyPageDown)) {
        playback.slower();
    }
    const double now = secondsAt(position);
    if (keys.pressed(kKeyLeft) && position > 0) {
        goTo(game, playback.isPlaying() ? frameAt(now - kWatchSeekSeconds) : position - 1);
    }
    if (keys.pressed(kKeyRight) && !atEnd) {
        goTo(game, playback.isPlaying() ? frameAt(now + kWatchSeekSeconds) : position + 1);
    }
    if (keys.pressed(kKeyHome)) {
        goTo(game, 0);
    }
    if (keys.pressed(kKeyEnd)) {
        goTo(game, frameCount());
    }
    for (int mode = 0; mode < 8; ++mode) {
        if (keys.pressed(static_cast<KeyCode>(kKeyF1 + mode))) {
            viewerCameraMode = mode;
        }
    }
    if (keys.pressed(kKeyV)) {
        viewerCameraMode = (game.camera.getMode() + 1) % (game.camera.getLastMode() + 1);
    }
}

WatchRequest DriveWatch::showFrame(Game& game, const KeyPresses& keys, float displaySeconds)
{
    if (keys.pressed(kKeyT)) {
        return WatchRequest::TakeOver;
    }
    if (keys.pressed(kKeyEscape)) {
        return WatchRequest::Leave;
    }
    actOnKeys(game, keys);
    playback.beginDisplayFrame(displaySeconds);
    while (position < frameCount() && playback.takeFrame(recording.frames[position].frameTime)) {
        playNext(game);
    }
    if (position >= frameCount() && playback.isPlaying()) {
        playback.togglePlaying(); // the end: Space plays it again from the start
    }
    if (game.sound != nullptr) {
        game.sound->setHeld(!playback.isPlaying());
    }
    if (viewerCameraMode >= 0) {
        game.camera.setMode(viewerCameraMode);
    }
    layOutBar();
    drawPicture(game);
    return WatchRequest::KeepWatching;
}

void DriveWatch::layOutBar()
{
    const double total = secondsAt(frameCount());
    const double now = secondsAt(position);
    const int filled = total > 0.0 ? static_cast<int>(std::lround(now / total * kBarWidth)) : 0;
    char track[kBarWidth + 3];
    track[0] = '[';
    for (int i = 0; i < kBarWidth; ++i) {
        track[i + 1] = i < filled ? '=' : '-';
    }
    track[kBarWidth + 1] = ']';
    track[kBarWidth + 2] = '\0';
    char nowText[16];
    char totalText[16];
    writeClock(now, nowText);
    writeClock(total, totalText);
    std::snprintf(bar, sizeof bar, kWatchBarFormat, track, nowText, totalText, playback.speedLabel());
    if (!playback.isPlaying()) {
        const std::size_t used = std::char_traits<char>::length(bar);
        std::snprintf(bar + used, sizeof bar - used, "  %s", kWatchingPaused);
    }
}

void DriveWatch::drawPicture(Game& game) const
{
    GraphicsDevice* device = game.device;
    if (device == nullptr) {
        return;
    }
    device->clear(kClearColour, 1.0f);
    if (device->beginScene()) {
        drawDebugOverlay(*device, game.playerCar);
        drawWorld(game, *device);
        game.play.drawTexts(*device);
        device->drawText(kWatchKeysHelp, kHelpRect, kTextBottom, kBarColour);
        device->drawText(bar, kBarRect, kTextBottom, kBarColour);
        device->endScene();
    }
    device->present();
}

} // namespace torvane
