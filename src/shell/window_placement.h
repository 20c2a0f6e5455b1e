// Where the main window goes: the fixed-size window centred on the primary screen.
// Windows-free, so the rule is tested natively.
#pragma once

#include <cstdint>

// Outer size of the main window in physical pixels; it is never shrunk to fit the screen.
inline constexpr int SHELL_WINDOW_WIDTH = 1280;
inline constexpr int SHELL_WINDOW_HEIGHT = 800;

struct WindowOrigin {
    int x;
    int y;
    friend bool operator==(const WindowOrigin&, const WindowOrigin&) = default;
};

// Centres the window on a screen of the given size. A screen smaller than the window puts the
// window at 0 on that axis, so its title bar stays reachable and it reaches past the far edge.
constexpr WindowOrigin centred_window_origin(int screen_width, int screen_height) {
    // 64-bit so that no reported screen size can overflow; the halving truncates toward zero.
    auto centre = [](int screen, int window) {
        const std::int64_t offset = (std::int64_t{screen} - window) / 2;
        return offset > 0 ? static_cast<int>(offset) : 0;
    };
    return {centre(screen_width, SHELL_WINDOW_WIDTH), centre(screen_height, SHELL_WINDOW_HEIGHT)};
}
