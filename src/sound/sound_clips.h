// SoundClips: the game's four sounds (sounds/*.wav under the data folder),
// decoded by libsndfile into 16-bit mono samples. A file that is missing,
// unreadable, not mono, at another rate than the others, empty or longer than
// kLongestClipSeconds refuses the whole set, with the file and the cause.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace torvane {

inline constexpr double kLongestClipSeconds = 10.0;

struct SoundClips {
    int rate = 0; // samples per second, the same for all four
    std::vector<std::int16_t> engineOff;
    std::vector<std::int16_t> engineOn;
    std::vector<std::int16_t> squeal;
    std::vector<std::int16_t> thump;
};

struct ClipsRead {
    std::optional<SoundClips> clips;
    std::string error; // "<file>: <cause>" when clips is empty
};

// Reads the four files from folder (the data folder's sounds/).
ClipsRead readSoundClips(const std::string& folder);

} // namespace torvane
