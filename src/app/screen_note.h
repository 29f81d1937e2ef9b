// ScreenNote: one short line of text shown at the bottom right of the picture
// for a few seconds, then gone: the game's way of saying what just happened
// (a car file reloaded or refused) without touching the debug overlay. Nothing
// is drawn while no note is up.
#pragma once

#include <string>

namespace torvane {

class GraphicsDevice;

struct ScreenNote {
    std::string text;
    bool error = false;        // drawn in red instead of yellow
    float secondsLeft = 0.0f;  // shown while above 0
};

inline constexpr float kScreenNoteSeconds = 4.0f;

// Puts text up for kScreenNoteSeconds.
void showScreenNote(ScreenNote& note, std::string text, bool error);

// Draws the note if it is up, then takes frameTime seconds off its time.
void drawScreenNote(GraphicsDevice& device, ScreenNote& note, float frameTime);

} // namespace torvane
