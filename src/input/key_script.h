// Key scripts: a drive written down as the keys held over spans of frames, for
// replaying the game without a keyboard. One span a line: "FIRST LAST KEY..."
// holds the named keys from frame FIRST to frame LAST inclusive, frames counted
// from 1. '#' starts a comment that runs to the end of the line; blank lines,
// spaces, tabs and carriage returns are allowed. Spans may overlap; a key is
// held in a frame when any span holds it there.
//
// Key names are the script names of the driving table (input/driving_keys.h):
// Left Right Up Down RCtrl A Q Escape KP8 KP2 F1 to F8 V, and the game's
// commands P Pause Backspace F10 F11 F12 Return LAlt RAlt (case matters).
//
// Shortcomings: no key outside the driving table can be named; a KeyScriptPlayer
// asked for an earlier frame than before starts again from the first frame.
#pragma once

#include <array>
#include <bitset>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "input/driving_keys.h"
#include "input/key_codes.h"

namespace torvane {

struct KeySpan {
    int first = 1; // frame, from 1
    int last = 1;  // frame, inclusive, first <= last
    std::vector<KeyCode> keys;
};

struct KeyScript {
    std::vector<KeySpan> spans; // in line order
};

struct KeyScriptError {
    int lineNumber = 0; // from 1
    std::string message;
};

// A script, or the first error in the text (the script then is empty).
struct ParsedKeyScript {
    KeyScript script;
    std::optional<KeyScriptError> error;
};

// Parses any bytes: every input gives either a script or an error.
ParsedKeyScript parseKeyScript(std::string_view text);

// Plays a script frame by frame: each call costs only the spans that begin or
// end since the previous call, however long the script.
class KeyScriptPlayer {
public:
    explicit KeyScriptPlayer(const KeyScript& script);
    // The keys held in frame (from 1), indexed by key code.
    std::bitset<kKeyCount> keysHeldIn(int frame);

private:
    struct KeyChange {
        int frame; // the first frame the change applies to
        KeyCode code;
        int hold; // +1 a span starts holding the key, -1 one stops
    };
    std::vector<KeyChange> changes; // by frame
    std::size_t nextChange = 0;
    int lastFrame = 0;
    std::array<int, kKeyCount> holdCounts{}; // spans holding each key
};

// The keys held in frame (from 1), for a single question; KeyScriptPlayer for a run.
std::bitset<kKeyCount> keysHeldInFrame(const KeyScript& script, int frame);

// The highest frame any span reaches; 0 for an empty script.
int lastScriptFrame(const KeyScript& script);

// The key script holding, in each frame i + 1, the driving keys of keys[i]
// (bit r: row r of kDrivingKeys), frames with the same keys in one line;
// comment is written first, each of its lines after "# ".
std::string keyScriptOfFrames(std::span<const std::uint64_t> keys, std::string_view comment);

} // namespace torvane
