#include "input/key_script.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <limits>

namespace torvane {
namespace {

// Longest piece of a bad word that an error message repeats.
constexpr std::size_t kQuotedLength = 24;

bool isSeparator(char c)
{
    return c == ' ' || c == '\t' || c == '\r' || c == '\v' || c == '\f';
}

std::vector<std::string_view> splitWords(std::string_view line)
{
    std::vector<std::string_view> words;
    std::size_t start = 0;
    while (start < line.size()) {
        while (start < line.size() && isSeparator(line[start])) {
            ++start;
        }
        std::size_t end = start;
        while (end < line.size() && !isSeparator(line[end])) {
            ++end;
        }
        if (end > start) {
            words.push_back(line.substr(start, end - start));
        }
        start = end;
    }
    return words;
}

// The word in quotes, shortened and with unprintable bytes shown as '?', so any
// input gives a readable message.
std::string quoted(std::string_view word)
{
    std::string text = "'";
    for (char c : word.substr(0, kQuotedLength)) {
        text += (c >= 0x20 && c < 0x7F) ? c : '?';
    }
    text += word.size() > kQuotedLength ? "...'" : "'";
    return text;
}

std::optional<KeyCode> keyCodeNamed(std::string_view name)
{
    for (const DrivingKey& key : kDrivingKeys) {
        if (key.scriptName == name) {
            return key.code;
        }
    }
    return std::nullopt;
}

// A frame number: decimal digits only, 1 to INT_MAX; nothing otherwise.
std::optional<int> parseFrame(std::string_view word)
{
    if (!std::all_of(word.begin(), word.end(), [](char c) { return c >= '0' && c <= '9'; })) {
        return std::nullopt;
    }
    int value = 0;
    const auto [end, error] = std::from_chars(word.data(), word.data() + word.size(), value);
    if (error != std::errc() || end != word.data() + word.size() || value < 1) {
        return std::nullopt;
    }
    return value;
}

// One line without its comment; sets message when the line is not a sound span.
std::optional<KeySpan> parseSpan(std::string_view line, std::string& message)
{
    const std::vector<std::string_view> words = splitWords(line);
    if (words.empty()) {
        return std::nullopt;
    }
    if (words.size() < 3) {
        message = "expected FIRST LAST KEY..., frames from 1 and at least one key";
        return std::nullopt;
    }
    KeySpan span;
    const std::optional<int> first = parseFrame(words[0]);
    const std::optional<int> last = parseFrame(words[1]);
    if (!first || !last) {
        message = "frame " + quoted(first ? words[1] : words[0]) + " is not a whole number from 1 to 2147483647";
        return std::nullopt;
    }
    if (*first > *last) {
        message = "first frame " + std::to_string(*first) + " is after last frame " + std::to_string(*last);
        return std::nullopt;
    }
    span.first = *first;
    span.last = *last;
    for (std::size_t i = 2; i < words.size(); ++i) {
        const std::optional<KeyCode> code = keyCodeNamed(words[i]);
        if (!code) {
            message = "unknown key " + quoted(words[i]) +
                      " (keys: Left Right Up Down RCtrl A Q Escape KP8 KP2 F1 to F8 V)";
            return std::nullopt;
        }
        span.keys.push_back(*code);
    }
    return span;
}

} // namespace

ParsedKeyScript parseKeyScript(std::string_view text)
{
    ParsedKeyScript result;
    int lineNumber = 0;
    std::size_t start = 0;
    while (start < text.size()) {
        if (lineNumber == std::numeric_limits<int>::max()) {
            result.script.spans.clear();
            result.error = KeyScriptError{lineNumber, "too many lines"};
            return result;
        }
        ++lineNumber;
        std::size_t end = text.find('\n', start);
        if (end == std::string_view::npos) {
            end = text.size();
        }
        std::string_view line = text.substr(start, end - start);
        line = line.substr(0, line.find('#'));
        start = end + 1;

        std::string message;
        std::optional<KeySpan> span = parseSpan(line, message);
        if (!message.empty()) {
            result.script.spans.clear();
            result.error = KeyScriptError{lineNumber, message};
            return result;
        }
        if (span) {
            result.script.spans.push_back(std::move(*span));
        }
    }
    return result;
}

KeyScriptPlayer::KeyScriptPlayer(const KeyScript& script)
{
    for (const KeySpan& span : script.spans) {
        for (KeyCode code : span.keys) {
            changes.push_back({span.first, code, 1});
            if (span.last < std::numeric_limits<int>::max()) {
                changes.push_back({span.last + 1, code, -1});
            }
        }
    }
    std::stable_sort(changes.begin(), changes.end(),
                     [](const KeyChange& a, const KeyChange& b) { return a.frame < b.frame; });
}

std::bitset<kKeyCount> KeyScriptPlayer::keysHeldIn(int frame)
{
    if (frame < lastFrame) {
        nextChange = 0;
        holdCounts.fill(0);
    }
    lastFrame = frame;
    for (; nextChange < changes.size() && changes[nextChange].frame <= frame; ++nextChange) {
        holdCounts[changes[nextChange].code] += changes[nextChange].hold;
    }
    std::bitset<kKeyCount> held;
    for (std::size_t code = 0; code < holdCounts.size(); ++code) {
        held[code] = holdCounts[code] > 0;
    }
    return held;
}

std::bitset<kKeyCount> keysHeldInFrame(const KeyScript& script, int frame)
{
    return KeyScriptPlayer(script).keysHeldIn(frame);
}

int lastScriptFrame(const KeyScript& script)
{
    int last = 0;
    for (const KeySpan& span : script.spans) {
        last = std::max(last, span.last);
    }
    return last;
}

std::string keyScriptOfFrames(std::span<const std::uint64_t> keys, std::string_view comment)
{
    std::string text;
    for (std::size_t start = 0; start < comment.size();) {
        const std::size_t end = std::min(comment.find('\n', start), comment.size());
        text += "# " + std::string(comment.substr(start, end - start)) + "\n";
        start = end + 1;
    }
    for (std::size_t first = 0; first < keys.size();) {
        std::size_t last = first;
        while (last + 1 < keys.size() && keys[last + 1] == keys[first]) {
            ++last;
        }
        if (keys[first] != 0) {
            text += std::to_string(first + 1) + " " + std::to_string(last + 1);
            for (std::size_t row = 0; row < kDrivingKeys.size(); ++row) {
                if ((keys[first] >> row & 1u) != 0) {
                    text += " " + std::string(kDrivingKeys[row].scriptName);
                }
            }
            text += "\n";
        }
        first = last + 1;
    }
    return text;
}

} // namespace torvane
