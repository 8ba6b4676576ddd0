// Measures one drawing tick of the meter (every picture drawn into the
// off-screen canvas, one copy out), straight onto the screen and into the
// meter's own window. A measurement, not a test: run it under Wine by hand
// (tools/measure-overlay.sh).
#include <algorithm>
#include <vector>

#include "ofa_program.h"

namespace {

constexpr int TICKS = 2000;

double MicrosecondsPerTick(std::vector<double>* samples)
{
    LARGE_INTEGER frequency;
    QueryPerformanceFrequency(&frequency);
    samples->clear();
    for (int i = 0; i < TICKS; ++i) {
        ofa.sx = static_cast<uint8_t>(i % 19);
        ofa.sy = static_cast<uint8_t>((i / 19) % 19);
        LARGE_INTEGER start, end;
        QueryPerformanceCounter(&start);
        PaintOFA();
        QueryPerformanceCounter(&end);
        samples->push_back(1e6 * static_cast<double>(end.QuadPart - start.QuadPart) /
                           static_cast<double>(frequency.QuadPart));
    }
    std::sort(samples->begin(), samples->end());
    return (*samples)[samples->size() / 2];
}

void Report(const char* where)
{
    std::vector<double> samples;
    const double median = MicrosecondsPerTick(&samples);
    double sum = 0;
    for (double s : samples)
        sum += s;
    printf("%-22s median %7.1f us  mean %7.1f us  95%% %7.1f us  (%d ticks, timer 2000 us)\n",
           where, median, sum / samples.size(), samples[samples.size() * 95 / 100], TICKS);
}

}  // namespace

int main()
{
    static_cast<OFA_METER&>(ofa) = InitialMeter();
    ofa.hSavedBackground = nullptr;
    currentDisplayMode = ScreenDisplayMode();
    const HINSTANCE instance = GetModuleHandleA(nullptr);
    if (!initLog(false) || !initGfx(instance) || !initWin(instance)) {
        fprintf(stderr, "paint_bench: cannot set up the meter\n");
        return 1;
    }
    PlaceMeter(&ofa, currentDisplayMode.width, currentDisplayMode.height);
    ofa.MeterMode = OFA_MMDOUBLEBAR;
    SizeMeter(&ofa);
    printf("PaintOFA, two bars %dx%d on a %dx%dx%d screen%s\n", ofa.width, ofa.height,
           currentDisplayMode.width, currentDisplayMode.height, currentDisplayMode.bitsPerPixel,
           RunningOnWine() ? " (Wine)" : "");
    bMeterInOwnWindow = false;
    Report("onto the screen:");
    bMeterInOwnWindow = true;
    Report("into its own window:");
    return 0;
}
