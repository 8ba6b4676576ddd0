// Fuzzes the input pipeline with random configurations, device requests and
// packet batches. Besides what the sanitizers catch, it checks that each
// input packet yields 1, 3, 5 or 7 packets, that no axis comes out larger
// than it went in, and that a batch gives exactly what its packets give one
// at a time (so handing over a full output area loses and reorders nothing).
#include <stdint.h>
#include <stdlib.h>
#include <string.h>

#include <vector>

#include "bogus_click.h"
#include "config_lifecycle.h"
#include "driver_events.h"
#include "packet_pipeline.h"
#include "pipeline_platform.h"

namespace {

struct Recorder {
    uint64_t clock = 0;
    std::vector<MOUSE_INPUT_DATA> packets;
    std::vector<DRIVER_EVENT> events;
    size_t largestChunk = 0;
};
Recorder g_recorder;

uint64_t Clock() { return g_recorder.clock; }
bool Deliver(const DRIVER_EVENT& event)
{
    g_recorder.events.push_back(event);
    return true;
}
void Forward(void*, MOUSE_INPUT_DATA* start, MOUSE_INPUT_DATA* end, uint32_t* consumed)
{
    g_recorder.packets.insert(g_recorder.packets.end(), start, end);
    if (size_t(end - start) > g_recorder.largestChunk)
        g_recorder.largestChunk = size_t(end - start);
    *consumed = uint32_t(end - start);
}
void NoLock() {}
const PIPELINE_PLATFORM PLATFORM = {Clock, Deliver, Forward, NoLock, NoLock};

class Bytes {
public:
    Bytes(const uint8_t* data, size_t size) : data_(data), size_(size) {}
    bool Empty() const { return pos_ >= size_; }
    uint8_t Byte() { return pos_ < size_ ? data_[pos_++] : 0; }
    uint32_t Word()
    {
        uint32_t value = 0;
        for (int i = 0; i < 4; ++i)
            value = value << 8 | Byte();
        return value;
    }

private:
    const uint8_t* data_;
    size_t size_;
    size_t pos_ = 0;
};

// Mostly small values, now and then any word at all.
uint32_t FieldValue(Bytes* in)
{
    const uint8_t choice = in->Byte();
    if (choice >= 0xF0)
        return in->Word();
    return choice % 20;
}

// Mostly assignment codes, now and then any word at all.
uint32_t AssignmentValue(Bytes* in)
{
    const uint8_t choice = in->Byte();
    if (choice >= 0xF0)
        return in->Word();
    const uint32_t codes[] = {0x001, 0x002, 0x004, 0x008, 0x010, 0x020, 0x040, 0x080, 0x100,
                              0x201, 0x202, 0x204, 0x208, 0x210, 0x240, 0x200};
    return codes[choice % 16];
}

void RandomBlock(Bytes* in, CONFIG_BLOCK* block)
{
    uint32_t* words = reinterpret_cast<uint32_t*>(block);
    const int fieldCount = int(sizeof(CONFIG_BLOCK) / 4);
    for (int n = in->Byte() % 24; n > 0; --n)
        words[in->Byte() % fieldCount] = FieldValue(in);
    // The fields the pipeline acts on, more often.
    for (uint32_t& word : block->ButtonAssigned)
        if (in->Byte() & 1)
            word = AssignmentValue(in);
    for (uint32_t* field : {&block->VexonSpeedX, &block->VexonSpeedY,
                            &block->Acceleration, &block->AccelerationEnabled,
                            &block->Orientation, &block->OFASensitivityEnabled,
                            &block->UniversalScrollEnabled})
        if (in->Byte() & 1)
            *field = FieldValue(in);
}

// Presses of several buttons, releases of several, the wheel, or any flags.
uint16_t RandomFlags(Bytes* in)
{
    const uint8_t kind = in->Byte();
    const uint8_t buttons = in->Byte();
    const uint16_t downs[] = {MOUSE_LEFT_BUTTON_DOWN, MOUSE_RIGHT_BUTTON_DOWN,
                              MOUSE_MIDDLE_BUTTON_DOWN, MOUSE_BUTTON_4_DOWN, MOUSE_BUTTON_5_DOWN};
    uint16_t flags = 0;
    switch (kind % 4) {
    case 0:
    case 1:
        for (int i = 0; i < 5; ++i)
            if (buttons & (1 << i))
                flags |= uint16_t(kind % 4 == 0 ? downs[i] : downs[i] << 1);
        return flags;
    case 2:
        return MOUSE_WHEEL;
    default:
        return uint16_t(buttons | (kind & 0x07) << 8);
    }
}

MOUSE_INPUT_DATA RandomPacket(Bytes* in)
{
    MOUSE_INPUT_DATA packet = {};
    packet.ButtonFlags = RandomFlags(in);
    packet.ButtonData = uint16_t(int16_t(int8_t(in->Byte())) * (in->Byte() & 1 ? 120 : 7));
    packet.LastX = int8_t(in->Byte()) * (in->Byte() & 0x80 ? 3 : 1);
    packet.LastY = int8_t(in->Byte());
    packet.UnitId = in->Byte();
    return packet;
}

struct Scenario {
    CONFIG_BLOCK config;
    CONFIG_BLOCK request;
    uint32_t threshold;
    std::vector<MOUSE_INPUT_DATA> packets;
    std::vector<uint32_t> clockSteps;
};

void Start(const Scenario& s)
{
    SetPipelinePlatform(&PLATFORM);
    ResetDriverState();
    g_recorder = Recorder();
    G_config = s.config;
    G_click_threshold = s.threshold;
    RegisterSlot(SLOT_TRAY, 1);
    RegisterSlot(SLOT_CONFIG, 2);
    RegisterSlot(SLOT_OFA, 3);
    ApplyConfigRequest(&s.request);
    ApplyTrayRequest(&s.request);
}

int64_t Magnitude(int64_t v) { return v < 0 ? -v : v; }

template <typename T>
bool Same(const std::vector<T>& a, const std::vector<T>& b)
{
    return a.size() == b.size() && (a.empty() || memcmp(a.data(), b.data(), a.size() * sizeof(T)) == 0);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    Bytes in(data, size);
    Scenario s;
    ClearConfig(&s.config);
    InvalidateConfig(&s.config);
    VerifyConfigAndSetDefaults(&s.config, &s.config);
    RandomBlock(&in, &s.config);
    s.request = s.config;
    RandomBlock(&in, &s.request);
    s.threshold = in.Byte();
    while (!in.Empty() && s.packets.size() < 400) {
        s.packets.push_back(RandomPacket(&in));
        // The clock mostly stands still between packets, so that long
        // batches form; now and then it moves on by up to 63 ms.
        const uint8_t step = in.Byte();
        s.clockSteps.push_back(step >= 0xC0 ? uint32_t(step - 0xC0) * 10000 : 0);
    }

    // One packet a batch: how many packets each one yields.
    Start(s);
    for (size_t i = 0; i < s.packets.size(); ++i) {
        g_recorder.clock += s.clockSteps[i];
        MOUSE_INPUT_DATA packet = s.packets[i];
        const size_t before = g_recorder.packets.size();
        uint32_t consumed = 0;
        ProcessServiceBatch(nullptr, &packet, &packet + 1, &consumed);
        const size_t yield = g_recorder.packets.size() - before;
        if (yield != 1 && yield != 3 && yield != 5 && yield != 7)
            abort();
        const MOUSE_INPUT_DATA& out = g_recorder.packets[before];
        if (Magnitude(out.LastX) > Magnitude(s.packets[i].LastX) ||
            Magnitude(out.LastY) > Magnitude(s.packets[i].LastY))
            abort();
    }
    const std::vector<MOUSE_INPUT_DATA> oneByOne = g_recorder.packets;
    const std::vector<DRIVER_EVENT> oneByOneEvents = g_recorder.events;

    // The same packets in batches (a new batch wherever the clock moves):
    // the same packets and events in the same order.
    Start(s);
    std::vector<MOUSE_INPUT_DATA> packets = s.packets;
    size_t first = 0;
    while (first < packets.size()) {
        g_recorder.clock += s.clockSteps[first];
        size_t last = first + 1;
        while (last < packets.size() && s.clockSteps[last] == 0)
            ++last;
        const size_t before = g_recorder.packets.size();
        uint32_t consumed = 0;
        ProcessServiceBatch(nullptr, packets.data() + first, packets.data() + last, &consumed);
        if (consumed != g_recorder.packets.size() - before)
            abort();
        first = last;
    }
    if (g_recorder.largestChunk > size_t(OUTPUT_AREA_PACKETS))
        abort();
    if (!Same(g_recorder.packets, oneByOne) || !Same(g_recorder.events, oneByOneEvents))
        abort();

    // The transfer-completion path over the same data, with buffers of any
    // capacity from 4 to 12 bytes.
    Start(s);
    for (const MOUSE_INPUT_DATA& p : s.packets) {
        uint8_t report[12] = {uint8_t(p.ButtonFlags), uint8_t(p.LastX), uint8_t(p.LastY),
                              uint8_t(p.ButtonData)};
        uint32_t length = 4;
        ProcessTransferReport(report, &length, 4 + p.UnitId % 9);
        if (length != 4 && length != 12)
            abort();
        if (Magnitude(int8_t(report[1])) > Magnitude(int8_t(p.LastX)))
            abort();
    }
    return 0;
}
