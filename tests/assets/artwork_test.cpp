// The artwork generator's writers and the meter's pictures, read back with
// a reader of the file formats written here from their layout.
#include <gtest/gtest.h>

#include <set>
#include <string>

#include "image_writers.h"
#include "pictures.h"
#include "style.h"

namespace {

uint32_t U32(const std::vector<uint8_t>& b, size_t at)
{
    return b[at] | (b[at + 1] << 8) | (b[at + 2] << 16) | (static_cast<uint32_t>(b[at + 3]) << 24);
}
uint32_t U16(const std::vector<uint8_t>& b, size_t at) { return b[at] | (b[at + 1] << 8); }

// Decodes an 8-bit BMP as written by EncodeBmp8 (and by any other writer
// of the plain format): header checks, then every pixel through the palette.
struct DecodedBmp {
    int width = 0, height = 0, bitsPerPixel = 0;
    std::vector<Rgb> pixels;
    Rgb At(int x, int y) const { return pixels[y * width + x]; }
};

DecodedBmp DecodeBmp8(const std::vector<uint8_t>& b)
{
    DecodedBmp d;
    EXPECT_EQ(b[0], 'B');
    EXPECT_EQ(b[1], 'M');
    EXPECT_EQ(U32(b, 2), b.size());
    const uint32_t offset = U32(b, 10);
    EXPECT_EQ(U32(b, 14), 40u);
    d.width = static_cast<int>(U32(b, 18));
    d.height = static_cast<int>(U32(b, 22));
    d.bitsPerPixel = static_cast<int>(U16(b, 28));
    EXPECT_EQ(U32(b, 30), 0u);  // uncompressed
    const uint32_t colours = U32(b, 46);
    EXPECT_EQ(offset, 54 + 4 * colours);
    const size_t stride = (d.width + 3) / 4 * 4;
    EXPECT_EQ(b.size(), offset + stride * d.height);
    d.pixels.resize(d.width * d.height);
    for (int row = 0; row < d.height; ++row)
        for (int x = 0; x < d.width; ++x) {
            const uint8_t index = b[offset + row * stride + x];
            EXPECT_LT(index, colours);
            const size_t p = 54 + 4 * index;
            d.pixels[(d.height - 1 - row) * d.width + x] = {b[p + 2], b[p + 1], b[p]};
        }
    return d;
}

TEST(BmpWriter, RoundTripsEveryPixelBottomUpWithPaddedRows)
{
    Canvas canvas(5, 3, RgbFromHex(0x102030));
    canvas.Set(0, 0, RgbFromHex(0xFF0000));
    canvas.Set(4, 2, RgbFromHex(0x00FF00));
    canvas.FillRect(1, 1, 3, 2, RgbFromHex(0x0000FF));
    std::string error;
    const auto bytes = EncodeBmp8(canvas, &error);
    ASSERT_FALSE(bytes.empty()) << error;
    const DecodedBmp d = DecodeBmp8(bytes);
    EXPECT_EQ(d.bitsPerPixel, 8);
    ASSERT_EQ(d.width, 5);
    ASSERT_EQ(d.height, 3);
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 5; ++x)
            EXPECT_EQ(d.At(x, y), canvas.At(x, y)) << x << "," << y;
}

TEST(BmpWriter, RefusesMoreThan256Colours)
{
    Canvas canvas(257, 1, RgbFromHex(0));
    for (int x = 0; x < 257; ++x)
        canvas.Set(x, 0, {static_cast<uint8_t>(x), static_cast<uint8_t>(x >> 8), 0});
    std::string error;
    EXPECT_TRUE(EncodeBmp8(canvas, &error).empty());
    EXPECT_FALSE(error.empty());
    Canvas fits(256, 1, RgbFromHex(0));
    for (int x = 0; x < 256; ++x)
        fits.Set(x, 0, {static_cast<uint8_t>(x), 0, 0});
    error.clear();
    EXPECT_FALSE(EncodeBmp8(fits, &error).empty()) << error;
}

TEST(IcoWriter, DirectoryPointsAtEachImageWithAlphaAndMask)
{
    Canvas big(32, 32, RgbFromHex(0x262626));
    big.ClearAlpha();
    big.SetAlpha(0, 0, 255);  // top-left
    const Canvas small(16, 16, RgbFromHex(0x35B57F));
    std::string error;
    const auto b = EncodeIco({big, small}, &error);
    ASSERT_FALSE(b.empty()) << error;
    EXPECT_EQ(U16(b, 0), 0u);
    EXPECT_EQ(U16(b, 2), 1u);
    ASSERT_EQ(U16(b, 4), 2u);
    const int sizes[] = {32, 16};
    for (int i = 0; i < 2; ++i) {
        const size_t entry = 6 + 16 * i;
        EXPECT_EQ(b[entry], sizes[i]);
        EXPECT_EQ(b[entry + 1], sizes[i]);
        EXPECT_EQ(U16(b, entry + 6), 32u);
        const uint32_t size = U32(b, entry + 8), offset = U32(b, entry + 12);
        ASSERT_LE(offset + size, b.size());
        EXPECT_EQ(U32(b, offset + 4), static_cast<uint32_t>(sizes[i]));
        EXPECT_EQ(U32(b, offset + 8), static_cast<uint32_t>(2 * sizes[i]));
        const uint32_t mask = (sizes[i] / 8 + 3) / 4 * 4 * sizes[i];
        EXPECT_EQ(size, 40 + sizes[i] * sizes[i] * 4 + mask);
    }
    // Bottom-up rows: the top-left pixel is the first of the last row.
    const size_t pixels = U32(b, 6 + 12) + 40;
    EXPECT_EQ(b[pixels + 31 * 32 * 4 + 3], 255);
    EXPECT_EQ(b[pixels + 3], 0);
    EXPECT_EQ(b[pixels + 31 * 32 * 4 + 0], 0x26);
}

class OverlayPicturesTest : public ::testing::Test {
protected:
    OverlayPicturesTest() : text_(VEXON_TEST_FONT), art_{text_} {}

    DecodedBmp Draw(const std::string& file)
    {
        for (const Picture& picture : OverlayPictures())
            if (picture.fileName == file) {
                std::string error;
                const auto bytes = EncodeBmp8(picture.draw(art_).at(0), &error);
                EXPECT_FALSE(bytes.empty()) << file << ": " << error;
                return bytes.empty() ? DecodedBmp() : DecodeBmp8(bytes);
            }
        ADD_FAILURE() << "no picture " << file;
        return {};
    }

    TextRenderer text_;
    ArtContext art_;
};

TEST_F(OverlayPicturesTest, EveryPictureIs39By16WithABackgroundTopRowAndAllDiffer)
{
    ASSERT_TRUE(text_.Ok()) << text_.Error();
    const char* names[] = {"OFA010", "OFA015", "OFA020", "OFA025", "OFA030", "OFA035",
                           "OFA040", "OFA045", "OFA050", "OFA055", "OFA060", "OFA065",
                           "OFA070", "OFA075", "OFA080", "OFA085", "OFA090", "OFA095",
                           "OFA100", "OFAGREEN", "OFAGREY", "OFALABELX", "OFALABELY",
                           "OFALABEL0"};
    std::set<std::vector<uint8_t>> distinct;
    for (const char* name : names) {
        const DecodedBmp d = Draw(std::string(name) + ".bmp");
        ASSERT_EQ(d.width, 39) << name;
        ASSERT_EQ(d.height, 16) << name;
        EXPECT_EQ(d.bitsPerPixel, 8);
        for (int x = 0; x < 39; ++x)
            EXPECT_EQ(d.At(x, 0), style::BACKGROUND) << name << " x=" << x;
        std::vector<uint8_t> flat;
        for (const Rgb& p : d.pixels)
            flat.insert(flat.end(), {p.r, p.g, p.b});
        distinct.insert(flat);
    }
    EXPECT_EQ(distinct.size(), 24u) << "two pictures are identical";
}

TEST_F(OverlayPicturesTest, StepsUseTheAccentAndTextIsAntiAliased)
{
    const DecodedBmp current = Draw("OFA050.bmp");
    EXPECT_EQ(current.At(2, 2), style::ACCENT);
    std::set<uint32_t> colours;
    for (const Rgb& p : current.pixels)
        colours.insert((p.r << 16) | (p.g << 8) | p.b);
    // Background, accent, the text colour and its blended edges.
    EXPECT_GT(colours.size(), 4u);
    EXPECT_EQ(Draw("OFAGREY.bmp").At(20, 8), style::INACTIVE);
    EXPECT_EQ(Draw("OFAGREEN.bmp").At(20, 8), style::ACCENT_DIM);
}

TEST(TextRenderer, MissingFontIsAnError)
{
    const TextRenderer text("/nonexistent/font.ttf");
    EXPECT_FALSE(text.Ok());
    EXPECT_NE(text.Error().find("/nonexistent/font.ttf"), std::string::npos);
}

}  // namespace
