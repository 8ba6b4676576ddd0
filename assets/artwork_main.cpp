// vexon-artwork [--font FONT.ttf] OUTDIR
// Draws every picture of the suite and writes it into OUTDIR. The font
// defaults to the one found when the tool was built.
#include <stdio.h>
#include <string.h>

#include <string>

#include "image_writers.h"
#include "pictures.h"

namespace {

std::vector<uint8_t> Encode(const Picture& picture, const std::vector<Canvas>& canvases,
                            std::string* error)
{
    if (picture.format == PictureFormat::Icon)
        return EncodeIco(canvases, error);
    if (canvases.size() != 1) {
        *error = "a bitmap is drawn as exactly one canvas";
        return {};
    }
    return EncodeBmp8(canvases[0], error);
}

int Usage()
{
    fprintf(stderr, "usage: vexon-artwork [--font FONT.ttf] OUTDIR\n");
    return 2;
}

}  // namespace

int main(int argc, char** argv)
{
    std::string font = VEXON_ARTWORK_FONT;
    if (argc == 4 && strcmp(argv[1], "--font") == 0)
        font = argv[2];
    else if (argc != 2)
        return Usage();
    const TextRenderer text(font);
    if (!text.Ok()) {
        fprintf(stderr, "vexon-artwork: %s\n", text.Error().c_str());
        return 1;
    }
    const std::string outDir = argv[argc - 1];
    const ArtContext art{text};
    for (const Picture& picture : AllPictures()) {
        std::string error;
        const std::vector<uint8_t> bytes = Encode(picture, picture.draw(art), &error);
        if (bytes.empty() || !WriteFileBytes(outDir + "/" + picture.fileName, bytes, &error)) {
            fprintf(stderr, "vexon-artwork: %s: %s\n", picture.fileName.c_str(), error.c_str());
            return 1;
        }
    }
    return 0;
}
