// Key codes: the DirectInput (DIK) numbering of key positions, byte n of the
// 256-byte key snapshot being key n. Codes name positions of the scan-code set
// (those of a US layout), not the characters printed on the keys; extended keys
// (right-hand modifiers, arrows, the navigation block) are their scan code plus
// 0x80.
//
// Shortcomings: only the common keys of a 105-key keyboard have names here;
// media and language keys do not.
#pragma once

#include <cstdint>

namespace torvane {

using KeyCode = std::uint8_t;

// Size of the key snapshot: one byte per possible code.
inline constexpr int kKeyCount = 256;

inline constexpr KeyCode kKeyEscape = 0x01;
inline constexpr KeyCode kKey1 = 0x02;
inline constexpr KeyCode kKey2 = 0x03;
inline constexpr KeyCode kKey3 = 0x04;
inline constexpr KeyCode kKey4 = 0x05;
inline constexpr KeyCode kKey5 = 0x06;
inline constexpr KeyCode kKey6 = 0x07;
inline constexpr KeyCode kKey7 = 0x08;
inline constexpr KeyCode kKey8 = 0x09;
inline constexpr KeyCode kKey9 = 0x0A;
inline constexpr KeyCode kKey0 = 0x0B;
inline constexpr KeyCode kKeyMinus = 0x0C;
inline constexpr KeyCode kKeyEquals = 0x0D;
inline constexpr KeyCode kKeyBackspace = 0x0E;
inline constexpr KeyCode kKeyTab = 0x0F;
inline constexpr KeyCode kKeyQ = 0x10;
inline constexpr KeyCode kKeyW = 0x11;
inline constexpr KeyCode kKeyE = 0x12;
inline constexpr KeyCode kKeyR = 0x13;
inline constexpr KeyCode kKeyT = 0x14;
inline constexpr KeyCode kKeyY = 0x15;
inline constexpr KeyCode kKeyU = 0x16;
inline constexpr KeyCode kKeyI = 0x17;
inline constexpr KeyCode kKeyO = 0x18;
inline constexpr KeyCode kKeyP = 0x19;
inline constexpr KeyCode kKeyLeftBracket = 0x1A;
inline constexpr KeyCode kKeyRightBracket = 0x1B;
inline constexpr KeyCode kKeyReturn = 0x1C;
inline constexpr KeyCode kKeyLeftControl = 0x1D;
inline constexpr KeyCode kKeyA = 0x1E;
inline constexpr KeyCode kKeyS = 0x1F;
inline constexpr KeyCode kKeyD = 0x20;
inline constexpr KeyCode kKeyF = 0x21;
inline constexpr KeyCode kKeyG = 0x22;
inline constexpr KeyCode kKeyH = 0x23;
inline constexpr KeyCode kKeyJ = 0x24;
inline constexpr KeyCode kKeyK = 0x25;
inline constexpr KeyCode kKeyL = 0x26;
inline constexpr KeyCode kKeySemicolon = 0x27;
inline constexpr KeyCode kKeyApostrophe = 0x28;
inline constexpr KeyCode kKeyGrave = 0x29;
inline constexpr KeyCode kKeyLeftShift = 0x2A;
inline constexpr KeyCode kKeyBackslash = 0x2B;
inline constexpr KeyCode kKeyZ = 0x2C;
inline constexpr KeyCode kKeyX = 0x2D;
inline constexpr KeyCode kKeyC = 0x2E;
inline constexpr KeyCode kKeyV = 0x2F;
inline constexpr KeyCode kKeyB = 0x30;
inline constexpr KeyCode kKeyN = 0x31;
inline constexpr KeyCode kKeyM = 0x32;
inline constexpr KeyCode kKeyComma = 0x33;
inline constexpr KeyCode kKeyPeriod = 0x34;
inline constexpr KeyCode kKeySlash = 0x35;
inline constexpr KeyCode kKeyRightShift = 0x36;
inline constexpr KeyCode kKeyNumpadMultiply = 0x37;
inline constexpr KeyCode kKeyLeftAlt = 0x38;
inline constexpr KeyCode kKeySpace = 0x39;
inline constexpr KeyCode kKeyCapsLock = 0x3A;
// F1 to F10 are consecutive codes.
inline constexpr KeyCode kKeyF1 = 0x3B;
inline constexpr KeyCode kKeyF2 = 0x3C;
inline constexpr KeyCode kKeyF3 = 0x3D;
inline constexpr KeyCode kKeyF4 = 0x3E;
inline constexpr KeyCode kKeyF5 = 0x3F;
inline constexpr KeyCode kKeyF6 = 0x40;
inline constexpr KeyCode kKeyF7 = 0x41;
inline constexpr KeyCode kKeyF8 = 0x42;
inline constexpr KeyCode kKeyF9 = 0x43;
inline constexpr KeyCode kKeyF10 = 0x44;
inline constexpr KeyCode kKeyNumLock = 0x45;
inline constexpr KeyCode kKeyScrollLock = 0x46;
inline constexpr KeyCode kKeyNumpad7 = 0x47;
inline constexpr KeyCode kKeyNumpad8 = 0x48;
inline constexpr KeyCode kKeyNumpad9 = 0x49;
inline constexpr KeyCode kKeyNumpadSubtract = 0x4A;
inline constexpr KeyCode kKeyNumpad4 = 0x4B;
inline constexpr KeyCode kKeyNumpad5 = 0x4C;
inline constexpr KeyCode kKeyNumpad6 = 0x4D;
inline constexpr KeyCode kKeyNumpadAdd = 0x4E;
inline constexpr KeyCode kKeyNumpad1 = 0x4F;
inline constexpr KeyCode kKeyNumpad2 = 0x50;
inline constexpr KeyCode kKeyNumpad3 = 0x51;
inline constexpr KeyCode kKeyNumpad0 = 0x52;
inline constexpr KeyCode kKeyNumpadDecimal = 0x53;
inline constexpr KeyCode kKeyNonUsBackslash = 0x56; // the extra key left of Z on 105-key boards
inline constexpr KeyCode kKeyF11 = 0x57;
inline constexpr KeyCode kKeyF12 = 0x58;
inline constexpr KeyCode kKeyNumpadEnter = 0x9C;
inline constexpr KeyCode kKeyRightControl = 0x9D;
inline constexpr KeyCode kKeyNumpadDivide = 0xB5;
inline constexpr KeyCode kKeyPrintScreen = 0xB7;
inline constexpr KeyCode kKeyRightAlt = 0xB8;
inline constexpr KeyCode kKeyPause = 0xC5;
inline constexpr KeyCode kKeyHome = 0xC7;
inline constexpr KeyCode kKeyUp = 0xC8;
inline constexpr KeyCode kKeyPageUp = 0xC9;
inline constexpr KeyCode kKeyLeft = 0xCB;
inline constexpr KeyCode kKeyRight = 0xCD;
inline constexpr KeyCode kKeyEnd = 0xCF;
inline constexpr KeyCode kKeyDown = 0xD0;
inline constexpr KeyCode kKeyPageDown = 0xD1;
inline constexpr KeyCode kKeyInsert = 0xD2;
inline constexpr KeyCode kKeyDelete = 0xD3;
inline constexpr KeyCode kKeyLeftWindows = 0xDB;
inline constexpr KeyCode kKeyRightWindows = 0xDC;
inline constexpr KeyCode kKeyApplications = 0xDD;

} // namespace torvane
