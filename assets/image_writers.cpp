#include "image_writers.h"

#include <stdio.h>

#include <map>

namespace {

class ByteWriter {
public:
    explicit ByteWriter(std::vector<uint8_t>* out) : out_(out) {}
    void U8(uint32_t v) { out_->push_back(static_cast<uint8_t>(v)); }
    void U16(uint32_t v)
    {
        U8(v);
        U8(v >> 8);
    }
    void U32(uint32_t v)
    {
        U16(v);
        U16(v >> 16);
    }
    void Zeros(size_t count) { out_->insert(out_->end(), count, 0); }

private:
    std::vector<uint8_t>* out_;
};

constexpr uint32_t FILE_HEADER_SIZE = 14;
constexpr uint32_t INFO_HEADER_SIZE = 40;

size_t RowPadding(size_t rowBytes) { return (4 - rowBytes % 4) % 4; }

void InfoHeader(ByteWriter& w, int width, int height, int bitsPerPixel, uint32_t imageSize,
                uint32_t coloursUsed)
{
    w.U32(INFO_HEADER_SIZE);
    w.U32(static_cast<uint32_t>(width));
    w.U32(static_cast<uint32_t>(height));
    w.U16(1);  // planes
    w.U16(static_cast<uint32_t>(bitsPerPixel));
    w.U32(0);  // BI_RGB
    w.U32(imageSize);
    w.U32(2835);  // 72 dpi
    w.U32(2835);
    w.U32(coloursUsed);
    w.U32(0);  // all colours important
}

}  // namespace

std::vector<uint8_t> EncodeBmp8(const Canvas& canvas, std::string* error)
{
    std::vector<Rgb> palette;
    std::map<uint32_t, uint8_t> indexOf;
    for (int y = 0; y < canvas.Height(); ++y)
        for (int x = 0; x < canvas.Width(); ++x) {
            const Rgb c = canvas.At(x, y);
            const uint32_t key = (c.r << 16) | (c.g << 8) | c.b;
            if (indexOf.count(key))
                continue;
            if (palette.size() == 256) {
                *error = "more than 256 colours";
                return {};
            }
            indexOf[key] = static_cast<uint8_t>(palette.size());
            palette.push_back(c);
        }

    const size_t rowBytes = static_cast<size_t>(canvas.Width());
    const size_t padding = RowPadding(rowBytes);
    const uint32_t imageSize = static_cast<uint32_t>((rowBytes + padding) * canvas.Height());
    const uint32_t offset =
        FILE_HEADER_SIZE + INFO_HEADER_SIZE + static_cast<uint32_t>(palette.size()) * 4;

    std::vector<uint8_t> out;
    ByteWriter w(&out);
    w.U8('B');
    w.U8('M');
    w.U32(offset + imageSize);
    w.U32(0);
    w.U32(offset);
    InfoHeader(w, canvas.Width(), canvas.Height(), 8, imageSize,
               static_cast<uint32_t>(palette.size()));
    for (const Rgb& c : palette) {
        w.U8(c.b);
        w.U8(c.g);
        w.U8(c.r);
        w.U8(0);
    }
    for (int y = canvas.Height() - 1; y >= 0; --y) {
        for (int x = 0; x < canvas.Width(); ++x) {
            const Rgb c = canvas.At(x, y);
            w.U8(indexOf[(c.r << 16) | (c.g << 8) | c.b]);
        }
        w.Zeros(padding);
    }
    return out;
}

std::vector<uint8_t> EncodeIco(const std::vector<Canvas>& images, std::string* error)
{
    std::vector<std::vector<uint8_t>> bodies;
    for (const Canvas& image : images) {
        if (image.Width() > 256 || image.Height() > 256) {
            *error = "icon image larger than 256 pixels";
            return {};
        }
        const size_t maskRow = static_cast<size_t>(image.Width() + 7) / 8;
        const size_t maskBytes = (maskRow + RowPadding(maskRow)) * image.Height();
        const uint32_t pixelBytes = static_cast<uint32_t>(image.Width() * image.Height() * 4);
        std::vector<uint8_t> body;
        ByteWriter w(&body);
        // An icon image's header counts the colour and mask rows together.
        InfoHeader(w, image.Width(), image.Height() * 2, 32,
                   pixelBytes + static_cast<uint32_t>(maskBytes), 0);
        for (int y = image.Height() - 1; y >= 0; --y)
            for (int x = 0; x < image.Width(); ++x) {
                const Rgb c = image.At(x, y);
                w.U8(c.b);
                w.U8(c.g);
                w.U8(c.r);
                w.U8(image.AlphaAt(x, y));
            }
        w.Zeros(maskBytes);
        bodies.push_back(std::move(body));
    }

    std::vector<uint8_t> out;
    ByteWriter w(&out);
    w.U16(0);
    w.U16(1);  // icon
    w.U16(static_cast<uint32_t>(images.size()));
    uint32_t offset = 6 + 16 * static_cast<uint32_t>(images.size());
    for (size_t i = 0; i < images.size(); ++i) {
        w.U8(images[i].Width() % 256);  // 0 means 256
        w.U8(images[i].Height() % 256);
        w.U8(0);  // no palette
        w.U8(0);
        w.U16(1);
        w.U16(32);
        w.U32(static_cast<uint32_t>(bodies[i].size()));
        w.U32(offset);
        offset += static_cast<uint32_t>(bodies[i].size());
    }
    for (const auto& body : bodies)
        out.insert(out.end(), body.begin(), body.end());
    return out;
}

bool WriteFileBytes(const std::string& path, const std::vector<uint8_t>& bytes,
                    std::string* error)
{
    FILE* file = fopen(path.c_str(), "wb");
    if (!file) {
        *error = "cannot create " + path;
        return false;
    }
    const bool written = fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    const bool closed = fclose(file) == 0;
    if (!written || !closed) {
        *error = "cannot write " + path;
        return false;
    }
    return true;
}
