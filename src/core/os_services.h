// The two operating-system services the game logic calls directly: a modal
// message box and the quit request. The desktop layer installs the real ones at
// start-up; tests install their own to capture what the game reports. Until
// then a message box goes to stderr and the quit request does nothing.
#pragma once

namespace torvane {

struct OsServices {
    void (*showMessageBox)(const char* caption, const char* text);
    void (*postQuitMessage)();
};

// Installs services; the previous ones are returned so a test can restore them.
OsServices installOsServices(OsServices services);

// Shows a modal box with one OK button; waits until it is closed.
void showMessageBox(const char* caption, const char* text);
// Asks the main loop to end after the current frame.
void postQuitMessage();

} // namespace torvane
