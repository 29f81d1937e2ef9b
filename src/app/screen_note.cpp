#include "app/screen_note.h"

#include <utility>

#include "render/graphics_device.h"

namespace torvane {
namespace {

constexpr TextRect kNoteRect{0, 0, 790, 560}; // clear of the window's edges and the overlay's corner
constexpr std::uint32_t kNoteColour = 0xFFFFE040;
constexpr std::uint32_t kErrorColour = 0xFFFF5050;

} // namespace

void showScreenNote(ScreenNote& note, std::string text, bool error)
{
    note.text = std::move(text);
    note.error = error;
    note.secondsLeft = kScreenNoteSeconds;
}

void drawScreenNote(GraphicsDevice& device, ScreenNote& note, float frameTime)
{
    if (!(note.secondsLeft > 0.0f)) {
        return;
    }
    device.drawText(note.text.c_str(), kNoteRect, kTextRight | kTextBottom, note.error ? kErrorColour : kNoteColour);
    note.secondsLeft -= frameTime;
}

} // namespace torvane
