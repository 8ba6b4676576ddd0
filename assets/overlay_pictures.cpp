// The sensitivity meter: every picture is one 39 x 16 step or label. The top
// row of each stays background so stacked steps are separated by a line
// (and the meter takes its background from the first step's top row).
#include <stdio.h>

#include "pictures.h"
#include "style.h"

namespace {

constexpr int STEP_WIDTH = 39;
constexpr int STEP_HEIGHT = 16;
constexpr int LEVELS = 19;

Canvas EmptyStep() { return Canvas(STEP_WIDTH, STEP_HEIGHT, style::BACKGROUND); }

// The filled part of a step: one pixel in from the sides, below the gap row.
Canvas FilledStep(Rgb colour)
{
    Canvas step = EmptyStep();
    step.FillRect(1, 1, STEP_WIDTH - 1, STEP_HEIGHT, colour);
    return step;
}

// The step of the current value, labelled with its number (10, 15, ... 100).
Canvas ValueStep(const ArtContext& art, int number)
{
    Canvas step = FilledStep(style::ACCENT);
    art.text.DrawCentred(step, std::to_string(number), 11, style::BACKGROUND, 1, 1,
                         STEP_WIDTH - 1, STEP_HEIGHT, style::TEXT_COVERAGE_LEVELS);
    return step;
}

Canvas Label(const ArtContext& art, const char* text)
{
    Canvas label = EmptyStep();
    art.text.DrawCentred(label, text, 12, style::ACCENT, 0, 1, STEP_WIDTH, STEP_HEIGHT,
                         style::TEXT_COVERAGE_LEVELS);
    return label;
}

// A small meter: a dark rounded tile with three rising accent bars.
Canvas IconImage(int size)
{
    Canvas icon(size, size, style::BACKGROUND);
    icon.ClearAlpha();
    const int corner = size / 8;
    for (int y = 0; y < size; ++y)
        for (int x = 0; x < size; ++x) {
            const int dx = x < corner ? corner - x : (x >= size - corner ? x - (size - corner - 1) : 0);
            const int dy = y < corner ? corner - y : (y >= size - corner ? y - (size - corner - 1) : 0);
            if (dx * dx + dy * dy <= corner * corner)
                icon.SetAlpha(x, y, 255);
        }
    const int barWidth = size / 5;
    const int gap = (size - 3 * barWidth) / 4;
    for (int bar = 0; bar < 3; ++bar) {
        const int left = gap + bar * (barWidth + gap);
        const int top = size - size / 8 - (bar + 1) * (size * 3 / 4) / 3;
        icon.FillRect(left, top, left + barWidth, size - size / 8,
                      bar == 2 ? style::ACCENT : style::ACCENT_DIM);
    }
    return icon;
}

Picture Bitmap(const std::string& name, std::function<Canvas(const ArtContext&)> draw)
{
    return {name + ".bmp", PictureFormat::Bmp8,
            [draw](const ArtContext& art) { return std::vector<Canvas>{draw(art)}; }};
}

}  // namespace

std::vector<Picture> OverlayPictures()
{
    std::vector<Picture> pictures;
    for (int v = 0; v < LEVELS; ++v) {
        const int number = 10 + 5 * v;
        char name[8];
        snprintf(name, sizeof(name), "OFA%03d", number);
        pictures.push_back(Bitmap(name, [number](const ArtContext& art) {
            return ValueStep(art, number);
        }));
    }
    pictures.push_back(Bitmap("OFAGREEN", [](const ArtContext&) {
        return FilledStep(style::ACCENT_DIM);
    }));
    pictures.push_back(Bitmap("OFAGREY", [](const ArtContext&) {
        return FilledStep(style::INACTIVE);
    }));
    pictures.push_back(Bitmap("OFALABELX", [](const ArtContext& art) { return Label(art, "X"); }));
    pictures.push_back(Bitmap("OFALABELY", [](const ArtContext& art) { return Label(art, "Y"); }));
    pictures.push_back(Bitmap("OFALABEL0", [](const ArtContext& art) { return Label(art, "XY"); }));
    pictures.push_back({"vexonofa.ico", PictureFormat::Icon, [](const ArtContext&) {
                            return std::vector<Canvas>{IconImage(32), IconImage(16)};
                        }});
    return pictures;
}
