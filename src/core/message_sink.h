// MessageSink: the one way the program tells anything to anybody. Boxes are
// for the player (a caption and a text, both French, shown modally where a
// window system can show them); diagnostics are one-line notes for the
// developer (stderr on the desktop). The desktop installs a sink that shows
// real boxes; until then, and in tools without a window, both go to stderr.
// Tests capture what was said with ScopedMessageCapture.
//
// Shortcomings: one sink for the whole process, not thread-safe; a box blocks
// the caller until it is closed.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace torvane {

class MessageSink {
public:
    virtual ~MessageSink() = default;
    // A modal box with one OK button; returns once it is closed.
    virtual void showBox(std::string_view caption, std::string_view text) = 0;
    // One line for the developer, without a trailing newline.
    virtual void diagnose(std::string_view line) = 0;
};

// The sink in use now.
MessageSink& messageSink();
// Makes sink the one in use (not owned); nullptr goes back to stderr.
void installMessageSink(MessageSink* sink);
// The prefix of every stderr line ("torvane", "torvane-replay"); "torvane" at start.
void setProgramName(std::string_view name);

// Writes "program: line" to stderr: the stderr sink's way, for sinks that fall back on it.
void writeDiagnosticLine(std::string_view line);

inline void showBox(std::string_view caption, std::string_view text)
{
    messageSink().showBox(caption, text);
}
inline void diagnose(std::string_view line)
{
    messageSink().diagnose(line);
}

// Captures every message while it lives, and restores the previous sink after.
class ScopedMessageCapture final : public MessageSink {
public:
    ScopedMessageCapture();
    ~ScopedMessageCapture() override;
    ScopedMessageCapture(const ScopedMessageCapture&) = delete;
    ScopedMessageCapture& operator=(const ScopedMessageCapture&) = delete;

    void showBox(std::string_view caption, std::string_view text) override;
    void diagnose(std::string_view line) override;

    // Each box as "caption: text", in order.
    const std::vector<std::string>& boxes() const { return shownBoxes; }
    const std::vector<std::string>& diagnostics() const { return lines; }
    void clear();

private:
    MessageSink* previous;
    std::vector<std::string> shownBoxes;
    std::vector<std::string> lines;
};

} // namespace torvane
