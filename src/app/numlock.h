#pragma once

// The state of the Num Lock light for the status bar: read from the X
// server's keyboard extension when the program runs on X11, else from the
// keyboard LEDs the kernel exposes. Off on platforms without a keyboard
// (the offscreen platform of the tests).
namespace NumLock {
bool isOn();
}
