#include "pipe_scenario.h"

#include <stdint.h>
#include <stdio.h>

#include <sstream>
#include <string>
#include <vector>

#include "bogus_click.h"
#include "config_fields.h"
#include "config_lifecycle.h"
#include "driver_events.h"
#include "packet_pipeline.h"
#include "pipeline_platform.h"
#include "scenario_text.h"

const char SCENARIO_HELP[] =
    "usage: vexon-pipe [FILE]\n"
    "\n"
    "Runs a scenario through the mouse filter driver's pipeline code and prints\n"
    "what the class driver and the tray would receive. The scenario comes from\n"
    "FILE, or from standard input without one.\n"
    "\n"
    "One command a line; '#' starts a comment; numbers are decimal or 0x hex,\n"
    "negative allowed. The run starts from the validated defaults (an empty\n"
    "registry), click threshold 25 ms, the clock at 0 and every slot empty.\n"
    "\n"
    "  set FIELD VALUE        write a field of the live configuration; arrays take\n"
    "                         an index: ButtonAssigned[3], MacroLength[0],\n"
    "                         Macro[1][0].Code, Macro[1][0].Flag\n"
    "  register SLOT HWND     record a window in a slot (0..3, SLOT_CONFIG,\n"
    "  unregister SLOT        SLOT_TRAY, SLOT_OFA, SLOT_MOUSEWHEEL) or clear it\n"
    "  threshold MS           the bogus-click threshold\n"
    "  clock MS               the interrupt time, in ms since load (only forward)\n"
    "  batch                  one call of the service callback; each line up to\n"
    "    FLAGS X Y [DATA [UNIT]]   'end' is one packet; FLAGS is 0, a number or\n"
    "  end                    names joined by '|' (MOUSE_LEFT_BUTTON_DOWN, ...,\n"
    "                         MOUSE_BUTTON_5_UP, MOUSE_WHEEL); DATA is the wheel\n"
    "                         delta (120 a notch)\n"
    "  usb B0 B1 B2 B3        one 4-byte report through the transfer-completion path\n"
    "  request SET_CONFIG     a device request whose block starts as a copy of the\n"
    "  request TRAY_UPDATE    live configuration, changed by the 'set' lines up to\n"
    "    set FIELD VALUE      'end', then merged as the driver merges it\n"
    "  end\n"
    "  print FIELD            print FIELD=VALUE (decimal)\n"
    "\n"
    "Output, one line for each thing as it happens:\n"
    "  packet unit=U flags=NAMES data=D x=X y=Y\n"
    "  event hwnd=0x.. msg=0x.. wparam=0x.. lparam=0x..\n"
    "  report 0x.. 0x.. ...   (the bytes the transfer length covers)\n"
    "  FIELD=VALUE\n"
    "A bad line stops the run with a message naming the line, exit status 2.\n";

namespace {

// A bad line; carries the message for the user.
struct ScenarioError {
    std::string message;
};

int64_t Number(const std::string& text, int64_t low, int64_t high, const char* what)
{
    int64_t value = 0;
    if (!ParseScenarioNumber(text, &value))
        throw ScenarioError{std::string(what) + " is not a number: '" + text + "'"};
    if (value < low || value > high)
        throw ScenarioError{std::string(what) + " out of range: " + text};
    return value;
}

uint16_t ParseFlags(const std::string& text)
{
    uint16_t flags = 0;
    std::string badName;
    if (ParseScenarioFlags(text, &flags, &badName))
        return flags;
    if (badName.empty())
        throw ScenarioError{"FLAGS out of range: " + text};
    throw ScenarioError{"unknown flag '" + badName + "'"};
}

uint32_t ParseSlot(const std::string& text)
{
    int64_t slot = 0;
    if (!ParseScenarioSlot(text, &slot))
        throw ScenarioError{"SLOT is not a number: '" + text + "'"};
    if (slot < 0 || slot >= SLOT_COUNT)
        throw ScenarioError{"SLOT out of range: " + text};
    return uint32_t(slot);
}

void ExpectWords(const std::vector<std::string>& words, size_t low, size_t high)
{
    if (words.size() < low || words.size() > high)
        throw ScenarioError{"wrong number of arguments for '" + words[0] + "'"};
}

// The simulated kernel around the pipeline. The platform's routines are
// plain functions, so they reach the running scenario through g_current.
class HostDriver;
HostDriver* g_current = nullptr;

class HostDriver {
public:
    explicit HostDriver(std::ostream& out) : out_(out)
    {
        g_current = this;
        StartDriverFromDefaults(&PLATFORM);
    }
    ~HostDriver() { g_current = nullptr; }

    void Run(std::istream& in)
    {
        std::string line;
        while (std::getline(in, line)) {
            ++lineNumber_;
            const std::vector<std::string> words = ScenarioWords(line);
            if (!words.empty())
                Command(words);
        }
        if (mode_ != Mode::Commands)
            throw ScenarioError{"missing 'end' at the end of the scenario"};
    }

    int LineNumber() const { return lineNumber_; }

private:
    enum class Mode { Commands, Batch, Request };

    void Command(const std::vector<std::string>& words)
    {
        if (mode_ == Mode::Batch)
            return BatchLine(words);
        if (mode_ == Mode::Request)
            return RequestLine(words);
        const std::string& verb = words[0];
        if (verb == "set") {
            ExpectWords(words, 3, 3);
            ConfigLock lock;
            SetField(&G_config, words[1], words[2]);
        } else if (verb == "register") {
            ExpectWords(words, 3, 3);
            RegisterSlot(ParseSlot(words[1]), uint32_t(Number(words[2], 0, 0xFFFFFFFF, "HWND")));
        } else if (verb == "unregister") {
            ExpectWords(words, 2, 2);
            UnregisterSlot(ParseSlot(words[1]));
        } else if (verb == "threshold") {
            ExpectWords(words, 2, 2);
            G_click_threshold = uint32_t(Number(words[1], 0, 0xFFFFFFFF, "MS"));
        } else if (verb == "clock") {
            ExpectWords(words, 2, 2);
            const int64_t ms = Number(words[1], 0, INT64_C(1) << 40, "MS");
            if (uint64_t(ms) * TICKS_PER_MS < clock_)
                throw ScenarioError{"the clock only moves forward"};
            clock_ = uint64_t(ms) * TICKS_PER_MS;
        } else if (verb == "batch") {
            ExpectWords(words, 1, 1);
            batch_.clear();
            mode_ = Mode::Batch;
        } else if (verb == "usb") {
            ExpectWords(words, 5, 5);
            Usb(words);
        } else if (verb == "request") {
            ExpectWords(words, 2, 2);
            StartRequest(words[1]);
        } else if (verb == "print") {
            ExpectWords(words, 2, 2);
            ConfigLock lock;
            out_ << words[1] << "=" << *Field(&G_config, words[1]) << "\n";
        } else {
            throw ScenarioError{"unknown command '" + verb + "'"};
        }
    }

    void BatchLine(const std::vector<std::string>& words)
    {
        if (words[0] == "end") {
            ExpectWords(words, 1, 1);
            mode_ = Mode::Commands;
            uint32_t consumed = 0;
            ProcessServiceBatch(this, batch_.data(), batch_.data() + batch_.size(), &consumed);
            return;
        }
        if (words.size() < 3 || words.size() > 5)
            throw ScenarioError{"a packet is FLAGS X Y [DATA [UNIT]]"};
        MOUSE_INPUT_DATA packet = {};
        packet.ButtonFlags = ParseFlags(words[0]);
        packet.LastX = int32_t(Number(words[1], INT32_MIN, INT32_MAX, "X"));
        packet.LastY = int32_t(Number(words[2], INT32_MIN, INT32_MAX, "Y"));
        if (words.size() > 3)
            packet.ButtonData = uint16_t(Number(words[3], -32768, 65535, "DATA"));
        if (words.size() > 4)
            packet.UnitId = uint16_t(Number(words[4], 0, 65535, "UNIT"));
        batch_.push_back(packet);
    }

    void StartRequest(const std::string& kind)
    {
        if (kind == "SET_CONFIG")
            requestIsTray_ = false;
        else if (kind == "TRAY_UPDATE")
            requestIsTray_ = true;
        else
            throw ScenarioError{"unknown request '" + kind + "' (SET_CONFIG or TRAY_UPDATE)"};
        ConfigLock lock;
        request_ = G_config;
        mode_ = Mode::Request;
    }

    void RequestLine(const std::vector<std::string>& words)
    {
        if (words[0] == "set") {
            ExpectWords(words, 3, 3);
            SetField(&request_, words[1], words[2]);
        } else if (words[0] == "end") {
            ExpectWords(words, 1, 1);
            mode_ = Mode::Commands;
            if (requestIsTray_)
                ApplyTrayRequest(&request_);
            else
                ApplyConfigRequest(&request_);
        } else {
            throw ScenarioError{"only 'set' and 'end' belong in a request"};
        }
    }

    void Usb(const std::vector<std::string>& words)
    {
        uint8_t buffer[12] = {};
        for (int i = 0; i < 4; ++i)
            buffer[i] = uint8_t(Number(words[i + 1], -128, 255, "byte"));
        uint32_t length = 4;
        ProcessTransferReport(buffer, &length, sizeof(buffer));
        out_ << ReportLine(buffer, length) << "\n";
    }

    static uint32_t* Field(CONFIG_BLOCK* block, const std::string& name)
    {
        uint32_t* field = FindConfigField(block, name);
        if (!field)
            throw ScenarioError{"unknown field '" + name + "'"};
        return field;
    }

    static void SetField(CONFIG_BLOCK* block, const std::string& name, const std::string& value)
    {
        *Field(block, name) = uint32_t(Number(value, INT32_MIN, UINT32_MAX, "VALUE"));
    }

    // The platform seam of the harness.
    static constexpr uint64_t TICKS_PER_MS = 10000;

    static uint64_t InterruptTime() { return g_current->clock_; }

    static bool DeliverEvent(const DRIVER_EVENT& event)
    {
        g_current->out_ << EventLine(event) << "\n";
        return true;
    }

    static void CallClassService(void*, MOUSE_INPUT_DATA* start, MOUSE_INPUT_DATA* end,
                                 uint32_t* consumed)
    {
        for (const MOUSE_INPUT_DATA* p = start; p < end; ++p)
            g_current->out_ << PacketLine(*p) << "\n";
        *consumed = uint32_t(end - start);
    }

    static void NoLock() {}

    static constexpr PIPELINE_PLATFORM PLATFORM = {InterruptTime, DeliverEvent, CallClassService,
                                                   NoLock, NoLock};

    std::ostream& out_;
    uint64_t clock_ = 0;
    int lineNumber_ = 0;
    Mode mode_ = Mode::Commands;
    std::vector<MOUSE_INPUT_DATA> batch_;
    CONFIG_BLOCK request_ = {};
    bool requestIsTray_ = false;
};

}  // namespace

void StartDriverFromDefaults(const PIPELINE_PLATFORM* platform)
{
    SetPipelinePlatform(platform);
    ResetDriverState();
    CONFIG_BLOCK empty;
    ClearConfig(&empty);
    InvalidateConfig(&empty);
    InstallLoadedConfig(&empty);
    G_click_threshold = DEFAULT_CLICK_THRESHOLD_MS;
}

int RunScenario(std::istream& in, std::ostream& out, std::ostream& err)
{
    HostDriver driver(out);
    try {
        driver.Run(in);
    } catch (const ScenarioError& error) {
        out.flush();
        err << "vexon-pipe: line " << driver.LineNumber() << ": " << error.message << "\n";
        return SCENARIO_BAD_INPUT;
    }
    return SCENARIO_OK;
}
