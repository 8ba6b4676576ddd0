// Anti-aliased text with FreeType, drawn into a canvas.
#pragma once

#include <memory>
#include <string>

#include "canvas.h"

class TextRenderer {
public:
    // Fails (Ok() false, Error() says why) when the font cannot be opened.
    explicit TextRenderer(const std::string& fontPath);
    ~TextRenderer();
    TextRenderer(const TextRenderer&) = delete;
    TextRenderer& operator=(const TextRenderer&) = delete;

    bool Ok() const { return error_.empty(); }
    const std::string& Error() const { return error_; }

    // Draws text centred in the box [left, right) x [top, bottom) at the
    // given pixel height. Coverage is rounded to coverageLevels steps so a
    // picture keeps few distinct colours (8-bit palettes).
    void DrawCentred(Canvas& canvas, const std::string& text, int pixelHeight, Rgb colour,
                     int left, int top, int right, int bottom, int coverageLevels) const;

private:
    struct FreeType;
    std::unique_ptr<FreeType> ft_;
    std::string error_;
};
