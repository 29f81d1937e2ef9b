#include "app/play_state.h"

#include "core/player_messages.h"
#include "render/graphics_device.h"

namespace torvane {
namespace {

constexpr std::uint32_t kTextColour = 0xFFFFFFFF;
constexpr TextRect kPausedRect{370, 290, 800, 600}; // about the middle of the picture
constexpr TextRect kReadoutRect{520, 0, 800, 40};   // right of the overlay's columns
constexpr TextRect kNoticeRect{0, 0, 800, 600};     // along the bottom edge

} // namespace

void PlayState::showNotice(std::string text, float seconds)
{
    notice = std::move(text);
    noticeSecondsLeft = seconds;
}

void PlayState::countFrame(float seconds)
{
    readout.record(seconds);
    if (noticeSecondsLeft > 0.0f) {
        noticeSecondsLeft -= seconds;
    }
}

void PlayState::drawTexts(GraphicsDevice& device) const
{
    if (paused) {
        device.drawText(kPausedText, kPausedRect, kTextLeftTop, kTextColour);
    }
    if (readoutShown) {
        device.drawText(readout.text(), kReadoutRect, kTextLeftTop, kTextColour);
    }
    if (noticeSecondsLeft > 0.0f && !notice.empty()) {
        device.drawText(notice.c_str(), kNoticeRect, kTextBottom, kTextColour);
    }
}

} // namespace torvane
