// WatchClock: how a watched drive moves on. It plays or is paused, at one of
// five speeds (×¼, ×½, ×1, ×2, ×4), and keeps the recorded time owed to the
// viewer between displayed frames: each displayed frame owes its own length
// times the speed, and a recorded frame is due while at least half of it is
// owed. Above ×1 several recorded frames are due in one displayed frame; below
// it a recorded frame is held over several. The recorded frames keep their own
// frame times: the display's only decides how many of them are due.
//
// Shortcomings: it knows nothing of the recording (where it stands, how long it
// is); the watcher asks it, frame by frame, whether the next one is due.
#pragma once

namespace torvane {

inline constexpr int kWatchSpeedCount = 5;
// The speeds PageUp and PageDown step through, slowest first.
inline constexpr float kWatchSpeeds[kWatchSpeedCount] = {0.25f, 0.5f, 1.0f, 2.0f, 4.0f};
// The most recorded frames due in one displayed frame, however many are owed
// (a run of zero-length frames, a stalled display).
inline constexpr int kMostFramesPerDisplay = 512;
// The most recorded time owed at ×1, in seconds; a longer display stall is not caught up.
inline constexpr float kMostOwedSeconds = 0.1f;

class WatchClock {
public:
    bool isPlaying() const { return playing; }
    // Plays when paused, pauses when playing; either way nothing stays owed.
    void togglePlaying();
    // The next speed up (PageUp) or down (PageDown); nothing past ×4 or ×¼.
    void faster();
    void slower();
    float speed() const { return kWatchSpeeds[speedIndex]; }
    // "×1/4", "×1/2", "×1", "×2", "×4".
    const char* speedLabel() const;

    // Starts a displayed frame of displaySeconds: while playing, owes that
    // times the speed more (up to kMostOwedSeconds times the speed).
    void beginDisplayFrame(float displaySeconds);
    // Whether a recorded frame of frameSeconds is due in this displayed frame;
    // when it is, it counts as played.
    bool takeFrame(float frameSeconds);
    // Forgets what is owed: after a seek, a step or the end of the recording.
    void settle() { owed = 0.0f; }

private:
    bool playing = true;
    int speedIndex = 2;
    float owed = 0.0f;      // recorded seconds
    int takenThisFrame = 0; // recorded frames played in this displayed frame
};

} // namespace torvane
