// A picture in the making: a rectangle of 24-bit colours, drawn with simple
// fills and coverage-weighted blends (the text renderer's anti-aliasing).
#pragma once

#include <stddef.h>
#include <stdint.h>

#include <vector>

struct Rgb {
    uint8_t r, g, b;
    bool operator==(const Rgb& other) const
    {
        return r == other.r && g == other.g && b == other.b;
    }
    bool operator!=(const Rgb& other) const { return !(*this == other); }
};

// 0xRRGGBB as written in the style.
constexpr Rgb RgbFromHex(uint32_t hex)
{
    return {static_cast<uint8_t>(hex >> 16), static_cast<uint8_t>(hex >> 8),
            static_cast<uint8_t>(hex)};
}

// a + (b - a) * t, t in 0..255.
Rgb Mix(Rgb a, Rgb b, int t);

class Canvas {
public:
    Canvas(int width, int height, Rgb fill);

    int Width() const { return width_; }
    int Height() const { return height_; }
    Rgb At(int x, int y) const { return pixels_[Index(x, y)]; }
    // Alpha is only kept for icons; 255 everywhere unless cleared.
    uint8_t AlphaAt(int x, int y) const { return alpha_[Index(x, y)]; }

    // Every call clips to the canvas, so drawing code never checks bounds.
    void Set(int x, int y, Rgb colour);
    void FillRect(int left, int top, int right, int bottom, Rgb colour);
    // Puts colour over the pixel with coverage 0..255.
    void Blend(int x, int y, Rgb colour, int coverage);
    // Makes every pixel fully transparent (icon backgrounds).
    void ClearAlpha();
    void SetAlpha(int x, int y, uint8_t alpha);

private:
    bool Inside(int x, int y) const { return x >= 0 && y >= 0 && x < width_ && y < height_; }
    size_t Index(int x, int y) const { return static_cast<size_t>(y) * width_ + x; }

    int width_;
    int height_;
    std::vector<Rgb> pixels_;
    std::vector<uint8_t> alpha_;
};
