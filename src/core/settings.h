// The player's settings (settings.toml in the user's config folder): what each
// one is, its default and its bounds, reading them from TOML text and writing
// them back with every setting commented. A file with mistakes costs only the
// settings it gets wrong: each mistake is named with file, line and key, and
// that setting keeps its default. Unknown keys are named and ignored.
//
// Shortcoming: a file that is not TOML at all (a syntax error), or is over
// 1 MiB, costs every setting; a syntax error is named with line and column.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace torvane {

struct Settings {
    int windowWidth = 800;  // pixels, the window's outer size
    int windowHeight = 600; // pixels
    bool fullscreen = false;
    bool vsync = true;           // presenting waits for the vertical retrace
    bool pauseOnFocusLoss = false; // the game pauses when its window loses the keyboard focus
    bool backgroundKeys = false; // keys read while another window has the focus
    double padDeadzone = 0.15;   // stick travel (0..1) that counts as centred
    double padCurve = 1.5;       // response exponent: 1 linear, more is finer near the centre
    int recordingsKept = 20;     // recorded drives kept, the oldest deleted first
    int meshReaderMegabytes = 512; // memory limit of the child process reading a mesh
    int meshReaderSeconds = 10;    // time limit of the same process
    bool soundEnabled = true;      // false: no audio device is opened at all
    double soundVolume = 0.8;      // 0 (silent) .. 1 (the sounds' full level)

    bool operator==(const Settings&) const = default;
};

struct SettingsRead {
    Settings settings;
    std::vector<std::string> problems; // "<file>:<line>: <key>: ...", one per mistake
};

// The settings in text (the contents of the file at path, named in the problems).
SettingsRead parseSettings(std::string_view text, std::string_view path);

// The settings in the file at path; the defaults, without a problem, when there is no file.
// A file over 1 MiB is not read.
SettingsRead readSettingsFile(const std::string& path);

// The file's text: every key with its value, its meaning and its default in a comment.
std::string settingsText(const Settings& settings);

// Writes settingsText to path through a temporary file renamed into place, making
// the folder when missing. False (after a diagnostic naming the file) when it failed.
bool writeSettingsFile(const std::string& path, const Settings& settings);

} // namespace torvane
