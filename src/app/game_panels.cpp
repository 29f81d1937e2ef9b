#include "app/game_panels.h"

#include <algorithm>
#include <iterator>

namespace torvane {

KeyboardReadResult PanelKeyboard::read(std::uint8_t (&keyState)[kKeyCount])
{
    const KeyboardReadResult result = keys.read(keyState);
    if (result == KeyboardReadResult::Read && panels.wantsText()) {
        std::fill(std::begin(keyState), std::end(keyState), std::uint8_t{0});
    }
    return result;
}

} // namespace torvane
