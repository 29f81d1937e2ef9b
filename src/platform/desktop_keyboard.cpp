#include "platform/desktop_keyboard.h"

#include <SDL.h>
#include <SDL_syswm.h>
#include <X11/Xlib.h>

#include <algorithm>
#include <array>

#include "core/message_sink.h"
#include "core/player_messages.h"

namespace torvane {
namespace {

// Linux input codes 1 to 88 are the PC scan codes, which DirectInput's codes
// follow; the keys beyond them (arrows, right-hand modifiers, the navigation
// block) have codes of their own.
struct ExtendedKey {
    unsigned evdev;
    KeyCode code;
};
constexpr ExtendedKey kExtendedKeys[] = {
    {96, kKeyNumpadEnter}, {97, kKeyRightControl}, {98, kKeyNumpadDivide}, {99, kKeyPrintScreen},
    {100, kKeyRightAlt},   {102, kKeyHome},        {103, kKeyUp},          {104, kKeyPageUp},
    {105, kKeyLeft},       {106, kKeyRight},       {107, kKeyEnd},         {108, kKeyDown},
    {109, kKeyPageDown},   {110, kKeyInsert},      {111, kKeyDelete},      {119, kKeyPause},
    {125, kKeyLeftWindows}, {126, kKeyRightWindows}, {127, kKeyApplications},
};
constexpr unsigned kLastScanCodeKey = 88; // F12

std::array<std::uint8_t, SDL_NUM_SCANCODES> sdlScancodeTable()
{
    std::array<std::uint8_t, SDL_NUM_SCANCODES> table{};
    const std::pair<SDL_Scancode, KeyCode> keys[] = {
        {SDL_SCANCODE_ESCAPE, kKeyEscape}, {SDL_SCANCODE_1, kKey1}, {SDL_SCANCODE_2, kKey2},
        {SDL_SCANCODE_3, kKey3}, {SDL_SCANCODE_4, kKey4}, {SDL_SCANCODE_5, kKey5}, {SDL_SCANCODE_6, kKey6},
        {SDL_SCANCODE_7, kKey7}, {SDL_SCANCODE_8, kKey8}, {SDL_SCANCODE_9, kKey9}, {SDL_SCANCODE_0, kKey0},
        {SDL_SCANCODE_MINUS, kKeyMinus}, {SDL_SCANCODE_EQUALS, kKeyEquals},
        {SDL_SCANCODE_BACKSPACE, kKeyBackspace}, {SDL_SCANCODE_TAB, kKeyTab}, {SDL_SCANCODE_Q, kKeyQ},
        {SDL_SCANCODE_W, kKeyW}, {SDL_SCANCODE_E, kKeyE}, {SDL_SCANCODE_R, kKeyR}, {SDL_SCANCODE_T, kKeyT},
        {SDL_SCANCODE_Y, kKeyY}, {SDL_SCANCODE_U, kKeyU}, {SDL_SCANCODE_I, kKeyI}, {SDL_SCANCODE_O, kKeyO},
        {SDL_SCANCODE_P, kKeyP}, {SDL_SCANCODE_LEFTBRACKET, kKeyLeftBracket},
        {SDL_SCANCODE_RIGHTBRACKET, kKeyRightBracket}, {SDL_SCANCODE_RETURN, kKeyReturn},
        {SDL_SCANCODE_LCTRL, kKeyLeftControl}, {SDL_SCANCODE_A, kKeyA}, {SDL_SCANCODE_S, kKeyS},
        {SDL_SCANCODE_D, kKeyD}, {SDL_SCANCODE_F, kKeyF}, {SDL_SCANCODE_G, kKeyG}, {SDL_SCANCODE_H, kKeyH},
        {SDL_SCANCODE_J, kKeyJ}, {SDL_SCANCODE_K, kKeyK}, {SDL_SCANCODE_L, kKeyL},
        {SDL_SCANCODE_SEMICOLON, kKeySemicolon}, {SDL_SCANCODE_APOSTROPHE, kKeyApostrophe},
        {SDL_SCANCODE_GRAVE, kKeyGrave}, {SDL_SCANCODE_LSHIFT, kKeyLeftShift},
        {SDL_SCANCODE_BACKSLASH, kKeyBackslash}, {SDL_SCANCODE_Z, kKeyZ}, {SDL_SCANCODE_X, kKeyX},
        {SDL_SCANCODE_C, kKeyC}, {SDL_SCANCODE_V, kKeyV}, {SDL_SCANCODE_B, kKeyB}, {SDL_SCANCODE_N, kKeyN},
        {SDL_SCANCODE_M, kKeyM}, {SDL_SCANCODE_COMMA, kKeyComma}, {SDL_SCANCODE_PERIOD, kKeyPeriod},
        {SDL_SCANCODE_SLASH, kKeySlash}, {SDL_SCANCODE_RSHIFT, kKeyRightShift},
        {SDL_SCANCODE_KP_MULTIPLY, kKeyNumpadMultiply}, {SDL_SCANCODE_LALT, kKeyLeftAlt},
        {SDL_SCANCODE_SPACE, kKeySpace}, {SDL_SCANCODE_CAPSLOCK, kKeyCapsLock}, {SDL_SCANCODE_F1, kKeyF1},
        {SDL_SCANCODE_F2, kKeyF2}, {SDL_SCANCODE_F3, kKeyF3}, {SDL_SCANCODE_F4, kKeyF4},
        {SDL_SCANCODE_F5, kKeyF5}, {SDL_SCANCODE_F6, kKeyF6}, {SDL_SCANCODE_F7, kKeyF7},
        {SDL_SCANCODE_F8, kKeyF8}, {SDL_SCANCODE_F9, kKeyF9}, {SDL_SCANCODE_F10, kKeyF10},
        {SDL_SCANCODE_NUMLOCKCLEAR, kKeyNumLock}, {SDL_SCANCODE_SCROLLLOCK, kKeyScrollLock},
        {SDL_SCANCODE_KP_7, kKeyNumpad7}, {SDL_SCANCODE_KP_8, kKeyNumpad8}, {SDL_SCANCODE_KP_9, kKeyNumpad9},
        {SDL_SCANCODE_KP_MINUS, kKeyNumpadSubtract}, {SDL_SCANCODE_KP_4, kKeyNumpad4},
        {SDL_SCANCODE_KP_5, kKeyNumpad5}, {SDL_SCANCODE_KP_6, kKeyNumpad6},
        {SDL_SCANCODE_KP_PLUS, kKeyNumpadAdd}, {SDL_SCANCODE_KP_1, kKeyNumpad1},
        {SDL_SCANCODE_KP_2, kKeyNumpad2}, {SDL_SCANCODE_KP_3, kKeyNumpad3}, {SDL_SCANCODE_KP_0, kKeyNumpad0},
        {SDL_SCANCODE_KP_PERIOD, kKeyNumpadDecimal}, {SDL_SCANCODE_NONUSBACKSLASH, kKeyNonUsBackslash},
        {SDL_SCANCODE_F11, kKeyF11}, {SDL_SCANCODE_F12, kKeyF12}, {SDL_SCANCODE_KP_ENTER, kKeyNumpadEnter},
        {SDL_SCANCODE_RCTRL, kKeyRightControl}, {SDL_SCANCODE_KP_DIVIDE, kKeyNumpadDivide},
        {SDL_SCANCODE_PRINTSCREEN, kKeyPrintScreen}, {SDL_SCANCODE_RALT, kKeyRightAlt},
        {SDL_SCANCODE_PAUSE, kKeyPause}, {SDL_SCANCODE_HOME, kKeyHome}, {SDL_SCANCODE_UP, kKeyUp},
        {SDL_SCANCODE_PAGEUP, kKeyPageUp}, {SDL_SCANCODE_LEFT, kKeyLeft}, {SDL_SCANCODE_RIGHT, kKeyRight},
        {SDL_SCANCODE_END, kKeyEnd}, {SDL_SCANCODE_DOWN, kKeyDown}, {SDL_SCANCODE_PAGEDOWN, kKeyPageDown},
        {SDL_SCANCODE_INSERT, kKeyInsert}, {SDL_SCANCODE_DELETE, kKeyDelete},
        {SDL_SCANCODE_LGUI, kKeyLeftWindows}, {SDL_SCANCODE_RGUI, kKeyRightWindows},
        {SDL_SCANCODE_APPLICATION, kKeyApplications},
    };
    for (const auto& [scancode, code] : keys) {
        table[scancode] = code;
    }
    return table;
}

// The X display behind window, or nullptr when the video driver is not X11.
Display* x11DisplayOf(SDL_Window* window)
{
    SDL_SysWMinfo info;
    SDL_VERSION(&info.version);
    if (window == nullptr || SDL_GetWindowWMInfo(window, &info) != SDL_TRUE || info.subsystem != SDL_SYSWM_X11) {
        return nullptr;
    }
    return info.info.x11.display;
}

} // namespace

std::uint8_t directInputCodeOfEvdev(unsigned evdevCode)
{
    if (evdevCode >= 1 && evdevCode <= kLastScanCodeKey) {
        return static_cast<std::uint8_t>(evdevCode);
    }
    const auto* found = std::find_if(std::begin(kExtendedKeys), std::end(kExtendedKeys),
                                     [evdevCode](const ExtendedKey& key) { return key.evdev == evdevCode; });
    return found != std::end(kExtendedKeys) ? found->code : 0;
}

std::uint8_t directInputCodeOfSdlScancode(int scancode)
{
    static const std::array<std::uint8_t, SDL_NUM_SCANCODES> table = sdlScancodeTable();
    if (scancode < 0 || scancode >= SDL_NUM_SCANCODES) {
        return 0;
    }
    return table[static_cast<std::size_t>(scancode)];
}

std::unique_ptr<DesktopKeyboard> DesktopKeyboard::create(SDL_Window* window, bool backgroundKeys)
{
    if (SDL_WasInit(SDL_INIT_VIDEO) == 0) {
        showBox(kCriticalCaption, kKeyboardSystemFailed);
        return nullptr;
    }
    if (window == nullptr) {
        showBox(kCriticalCaption, kKeyboardDeviceFailed);
        return nullptr;
    }
    std::unique_ptr<DesktopKeyboard> keyboard(new DesktopKeyboard);
    keyboard->window = window;
    keyboard->x11Display = backgroundKeys ? x11DisplayOf(window) : nullptr;
    if (!keyboard->acquire()) {
        showBox(kCriticalCaption, kKeyboardAcquireFailed);
        return nullptr;
    }
    return keyboard;
}

DesktopKeyboard::~DesktopKeyboard() = default;

bool DesktopKeyboard::acquire()
{
    int keyCount = 0;
    return x11Display != nullptr || SDL_GetKeyboardState(&keyCount) != nullptr;
}

KeyboardReadResult DesktopKeyboard::read(std::uint8_t (&keyState)[kKeyCount])
{
    if (x11Display != nullptr) {
        char keymap[32] = {};
        XQueryKeymap(static_cast<Display*>(x11Display), keymap);
        std::fill(std::begin(keyState), std::end(keyState), std::uint8_t{0});
        constexpr unsigned kEvdevOffset = 8;
        for (unsigned keycode = kEvdevOffset; keycode < 256; ++keycode) {
            if ((static_cast<unsigned char>(keymap[keycode / 8]) & (1u << (keycode % 8))) == 0) {
                continue;
            }
            const std::uint8_t code = directInputCodeOfEvdev(keycode - kEvdevOffset);
            if (code != 0) {
                keyState[code] = 0x80;
            }
        }
        return KeyboardReadResult::Read;
    }

    // SDL's state follows the events that the main loop has pumped; SDL lets
    // every key up when the window loses the focus, and without it all stay up.
    int keyCount = 0;
    const Uint8* state = SDL_GetKeyboardState(&keyCount);
    if (state == nullptr) {
        return KeyboardReadResult::Failed;
    }
    std::fill(std::begin(keyState), std::end(keyState), std::uint8_t{0});
    if (SDL_GetKeyboardFocus() != window) {
        return KeyboardReadResult::Read;
    }
    for (int scancode = 0; scancode < keyCount; ++scancode) {
        const std::uint8_t code = directInputCodeOfSdlScancode(scancode);
        if (state[scancode] != 0 && code != 0) {
            keyState[code] = 0x80;
        }
    }
    return KeyboardReadResult::Read;
}

} // namespace torvane
