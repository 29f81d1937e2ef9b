// PlayState: what the player switched on beside the drive: the pause, the
// frame-rate readout, and a short notice (a screenshot's path), with the texts
// they draw over the picture, next to the debug overlay.
//
// Shortcomings: the texts sit at fixed pixel positions of the 800 × 600
// picture; one notice at a time.
#pragma once

#include <string>

#include "app/frame_rate_readout.h"

namespace torvane {

class GraphicsDevice;

struct PlayState {
    bool paused = false;
    // The next frame reads its keys but neither collides nor steps the car, as
    // a recorded frame whose scene could not begin did when it was driven.
    bool skipNextStep = false;
    bool readoutShown = false;
    FrameRateReadout readout;
    std::string notice;             // empty: none
    float noticeSecondsLeft = 0.0f; // seconds

    // Shows text for seconds.
    void showNotice(std::string text, float seconds);
    // Counts one frame as measured (seconds): the readout's mean, the notice's time.
    void countFrame(float seconds);
    // Draws "PAUSE", the readout and the notice, each only while it is on.
    void drawTexts(GraphicsDevice& device) const;
};

} // namespace torvane
