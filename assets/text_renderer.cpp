#include "text_renderer.h"

#include <ft2build.h>
#include FT_FREETYPE_H

struct TextRenderer::FreeType {
    FT_Library library = nullptr;
    FT_Face face = nullptr;
};

TextRenderer::TextRenderer(const std::string& fontPath) : ft_(new FreeType)
{
    if (FT_Init_FreeType(&ft_->library) != 0) {
        ft_->library = nullptr;
        error_ = "FreeType cannot be initialised";
    } else if (FT_New_Face(ft_->library, fontPath.c_str(), 0, &ft_->face) != 0) {
        ft_->face = nullptr;
        error_ = "cannot open font " + fontPath;
    }
}

TextRenderer::~TextRenderer()
{
    if (ft_->face)
        FT_Done_Face(ft_->face);
    if (ft_->library)
        FT_Done_FreeType(ft_->library);
}

namespace {

int Quantise(int coverage, int levels)
{
    const int step = 255 / (levels - 1);
    return (coverage + step / 2) / step * step;
}

// Width in pixels of the text's advances at the face's current size.
int TextAdvance(FT_Face face, const std::string& text)
{
    int width = 0;
    for (unsigned char c : text)
        if (FT_Load_Char(face, c, FT_LOAD_DEFAULT) == 0)
            width += static_cast<int>(face->glyph->advance.x >> 6);
    return width;
}

}  // namespace

void TextRenderer::DrawCentred(Canvas& canvas, const std::string& text, int pixelHeight,
                               Rgb colour, int left, int top, int right, int bottom,
                               int coverageLevels) const
{
    if (!Ok())
        return;
    FT_Face face = ft_->face;
    FT_Set_Pixel_Sizes(face, 0, static_cast<FT_UInt>(pixelHeight));
    // Centre on the digits' cap height rather than the full line height, so
    // numbers sit in the middle of their box.
    FT_Load_Char(face, '0', FT_LOAD_DEFAULT);
    const int capHeight = face->glyph->metrics.horiBearingY >> 6;
    const int baseline = top + (bottom - top + capHeight) / 2;
    int penX = left + (right - left - TextAdvance(face, text)) / 2;
    for (unsigned char c : text) {
        if (FT_Load_Char(face, c, FT_LOAD_RENDER) != 0)
            continue;
        const FT_GlyphSlot glyph = face->glyph;
        const FT_Bitmap& bitmap = glyph->bitmap;
        for (unsigned row = 0; row < bitmap.rows; ++row)
            for (unsigned col = 0; col < bitmap.width; ++col) {
                const int coverage = bitmap.buffer[row * bitmap.pitch + col];
                canvas.Blend(penX + glyph->bitmap_left + static_cast<int>(col),
                             baseline - glyph->bitmap_top + static_cast<int>(row), colour,
                             Quantise(coverage, coverageLevels));
            }
        penX += static_cast<int>(glyph->advance.x >> 6);
    }
}
