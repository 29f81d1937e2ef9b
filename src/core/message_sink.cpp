#include "core/message_sink.h"

#include <cstdio>

namespace torvane {
namespace {

std::string programName = "torvane";

class StderrSink final : public MessageSink {
public:
    void showBox(std::string_view caption, std::string_view text) override
    {
        writeDiagnosticLine(std::string(caption) + ": " + std::string(text));
    }
    void diagnose(std::string_view line) override { writeDiagnosticLine(line); }
};

StderrSink stderrSink;
MessageSink* currentSink = &stderrSink;

} // namespace

MessageSink& messageSink()
{
    return *currentSink;
}

void installMessageSink(MessageSink* sink)
{
    currentSink = sink != nullptr ? sink : &stderrSink;
}

void setProgramName(std::string_view name)
{
    programName = name;
}

void writeDiagnosticLine(std::string_view line)
{
    std::fprintf(stderr, "%s: %.*s\n", programName.c_str(), static_cast<int>(line.size()), line.data());
}

ScopedMessageCapture::ScopedMessageCapture() : previous(&messageSink())
{
    installMessageSink(this);
}

ScopedMessageCapture::~ScopedMessageCapture()
{
    installMessageSink(previous);
}

void ScopedMessageCapture::showBox(std::string_view caption, std::string_view text)
{
    shownBoxes.push_back(std::string(caption) + ": " + std::string(text));
}

void ScopedMessageCapture::diagnose(std::string_view line)
{
    lines.emplace_back(line);
}

void ScopedMessageCapture::clear()
{
    shownBoxes.clear();
    lines.clear();
}

} // namespace torvane
