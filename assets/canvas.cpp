#include "canvas.h"

#include <algorithm>

Rgb Mix(Rgb a, Rgb b, int t)
{
    auto channel = [t](int from, int to) {
        return static_cast<uint8_t>(from + ((to - from) * t + (to > from ? 127 : -127)) / 255);
    };
    return {channel(a.r, b.r), channel(a.g, b.g), channel(a.b, b.b)};
}

Canvas::Canvas(int width, int height, Rgb fill)
    : width_(width),
      height_(height),
      pixels_(static_cast<size_t>(width) * height, fill),
      alpha_(static_cast<size_t>(width) * height, 255)
{
}

void Canvas::Set(int x, int y, Rgb colour)
{
    if (Inside(x, y))
        pixels_[Index(x, y)] = colour;
}

void Canvas::FillRect(int left, int top, int right, int bottom, Rgb colour)
{
    for (int y = std::max(top, 0); y < std::min(bottom, height_); ++y)
        for (int x = std::max(left, 0); x < std::min(right, width_); ++x)
            pixels_[Index(x, y)] = colour;
}

void Canvas::Blend(int x, int y, Rgb colour, int coverage)
{
    if (Inside(x, y) && coverage > 0)
        pixels_[Index(x, y)] = Mix(pixels_[Index(x, y)], colour, std::min(coverage, 255));
}

void Canvas::ClearAlpha()
{
    std::fill(alpha_.begin(), alpha_.end(), 0);
}

void Canvas::SetAlpha(int x, int y, uint8_t alpha)
{
    if (Inside(x, y))
        alpha_[Index(x, y)] = alpha;
}
