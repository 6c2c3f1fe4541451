// Whether the windowed program has a display to show its windows on.
#pragma once

// True when Qt will find a display: a platform named on purpose in QT_QPA_PLATFORM (offscreen,
// vnc ...) needs none; otherwise an X server must take a connection at DISPLAY, or a Wayland
// compositor listen at WAYLAND_DISPLAY. Qt itself aborts the program when it finds none.
bool CanOpenDisplay();
