#pragma once

// The screen of every virtual display the harness makes, in pixels at scale
// 1; sway's layout keeps this size at any scale. harness/CMakeLists.txt says it,
// for make's own Xvfb too.
namespace virtualScreen {

constexpr int width = DALVERY_SCREEN_WIDTH;
constexpr int height = DALVERY_SCREEN_HEIGHT;

} // namespace virtualScreen
