#pragma once
// Whether the program runs without a screen anyone could look at: on Qt's
// offscreen platform, or with neither an X11 nor a Wayland display.

namespace platform {

bool isheadless();

}  // namespace platform
