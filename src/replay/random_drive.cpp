#include "replay/random_drive.h"

#include <algorithm>

namespace torvane {
namespace {

constexpr int kLongestSpan = 60; // frames
// Keeps the frame-time stream apart from the key stream of the same seed.
constexpr std::uint64_t kFrameTimeStream = 0x9E3779B97F4A7C15u;

// How often a key is held in a span, per thousand spans.
int holdPerMille(KeyCode code)
{
    switch (code) {
    case kKeyUp:
        return 700;
    case kKeyLeft:
    case kKeyRight:
        return 300;
    case kKeyDown:
        return 100;
    default:
        return 20;
    }
}

// A whole number in 0 .. count - 1; the bias of the modulo is below 2^-50 here.
int below(std::mt19937_64& generator, int count)
{
    return static_cast<int>(generator() % static_cast<std::uint64_t>(count));
}

} // namespace

RandomKeySpans::RandomKeySpans(std::uint64_t seed, int frames) : generator(seed), lastFrame(frames) {}

std::optional<KeySpan> RandomKeySpans::next()
{
    while (!finished && nextFirst <= lastFrame) {
        const int first = nextFirst;
        const int last = std::min(lastFrame, first + below(generator, kLongestSpan));
        KeySpan span{first, last, {}};
        for (const DrivingKey& key : kDrivingKeys) {
            // Never Escape, nor the game's commands (pause, reset...), which draw nothing.
            if (key.code != kKeyEscape && !isGameCommand(key.action) &&
                below(generator, 1000) < holdPerMille(key.code)) {
                span.keys.push_back(key.code);
            }
        }
        finished = last == lastFrame; // before last + 1, which overflows at INT_MAX
        nextFirst = finished ? last : last + 1;
        if (!span.keys.empty()) {
            return span;
        }
    }
    return std::nullopt;
}

KeyScript randomKeyScript(std::uint64_t seed, int frames)
{
    RandomKeySpans spans(seed, frames);
    KeyScript script;
    while (std::optional<KeySpan> span = spans.next()) {
        script.spans.push_back(std::move(*span));
    }
    return script;
}

RandomKeyPlayer::RandomKeyPlayer(std::uint64_t seed, int frames) : spans(seed, frames), current(spans.next()) {}

std::bitset<kKeyCount> RandomKeyPlayer::keysHeldIn(int frame)
{
    while (current && current->last < frame) {
        current = spans.next();
    }
    std::bitset<kKeyCount> held;
    if (current && current->first <= frame) {
        for (KeyCode code : current->keys) {
            held.set(code);
        }
    }
    return held;
}

RandomFrameTimes::RandomFrameTimes(std::uint64_t seed, float minimumSeconds, float maximumSeconds)
    : generator(seed ^ kFrameTimeStream), minimum(minimumSeconds), maximum(maximumSeconds)
{
}

float RandomFrameTimes::next()
{
    // 53 random bits give a double in [0, 1).
    const double unit = static_cast<double>(generator() >> 11) * 0x1p-53;
    const double value = minimum + (static_cast<double>(maximum) - minimum) * unit;
    return std::min(static_cast<float>(value), maximum);
}

} // namespace torvane
