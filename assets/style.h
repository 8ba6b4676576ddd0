// The suite's look, shared by every picture.
#pragma once

#include "canvas.h"

namespace style {

constexpr Rgb BACKGROUND = RgbFromHex(0x262626);
constexpr Rgb ACCENT = RgbFromHex(0x35B57F);
// Accent at reduced strength over the background, for filled but inactive parts.
const Rgb ACCENT_DIM = Mix(BACKGROUND, ACCENT, 150);
constexpr Rgb INACTIVE = RgbFromHex(0x404040);
constexpr Rgb LIGHT_TEXT = RgbFromHex(0xF2F2F2);

// Anti-aliasing steps of text; few enough that a picture stays within an
// 8-bit palette.
constexpr int TEXT_COVERAGE_LEVELS = 16;

}  // namespace style
