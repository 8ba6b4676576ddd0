// pipeline_replay SCENARIO.pipe EXPECTED.out: replays a vexon-pipe scenario
// against the real driver in the Wine session, through the test class driver
// and the control device, and checks that the driver produces the packets,
// events and USB reports that vexon-pipe printed ("print" lines are the
// host harness's view of its live block, which the driver does not show).
//
// The scenario's live-block edits ("set", "threshold") reach the driver the
// way settings do: written to the user's key, then loaded by a tray
// registration, which posts nothing. The replay keeps its own copy of the
// live block for that, merging each request as the driver does and taking
// the speeds the gesture reports. "clock" waits at least the scenario's
// time; a scenario whose outcome needs exact gaps cannot be replayed.
#include <stdio.h>
#include <string.h>

#include <fstream>
#include <iostream>
#include <sstream>
#include <string>
#include <vector>

#include "bogus_click.h"
#include "config_fields.h"
#include "config_lifecycle.h"
#include "config_values.h"
#include "driver_client.h"
#include "pipeline_platform.h"
#include "rig_client.h"
#include "scenario_text.h"

namespace {

// The window a registration of the replay's own uses when the scenario has
// not registered the tray.
constexpr uint32_t REPLAY_TRAY_WINDOW = 0x7EE7;

// The replay keeps going over what it cannot read: vexon-pipe has checked
// every scenario it is given.
bool ParseNumber(const std::string& text, int64_t* value)
{
    return ParseScenarioNumber(text, value);
}

uint16_t ParseFlags(const std::string& text)
{
    uint16_t flags = 0;
    ParseScenarioFlags(text, &flags);
    return flags;
}

uint32_t ParseSlot(const std::string& text)
{
    int64_t slot = 0;
    ParseScenarioSlot(text, &slot);
    return uint32_t(slot);
}

// The replay's copy of the live block, merged by the driver's own merge code
// with the events discarded (the driver's are read from the device).
bool DiscardEvent(const DRIVER_EVENT&)
{
    return true;
}
uint64_t NoClock()
{
    return 0;
}
void NoClassService(void*, MOUSE_INPUT_DATA*, MOUSE_INPUT_DATA*, uint32_t*) {}
void NoLock() {}
const PIPELINE_PLATFORM MIRROR_PLATFORM = {NoClock, DiscardEvent, NoClassService, NoLock, NoLock};

class Replay {
public:
    bool Open(std::string* error)
    {
        SetPipelinePlatform(&MIRROR_PLATFORM);
        CONFIG_BLOCK empty;
        ClearConfig(&empty);
        InvalidateConfig(&empty);
        InstallLoadedConfig(&empty);
        threshold_ = DEFAULT_CLICK_THRESHOLD_MS;
        if (!device_.valid() || !reader_.valid())
            *error = "the control device does not open";
        else if (!rig_.Opened() || !rig_.EnsureConnected())
            *error = "the test class driver does not connect";
        else
            return true;
        return false;
    }

    // Runs one line; false with a message for a line it cannot replay.
    bool Line(const std::vector<std::string>& w, std::string* error)
    {
        if (mode_ == Mode::Batch)
            return BatchLine(w, error);
        if (mode_ == Mode::Request)
            return RequestLine(w);
        int64_t value = 0;
        if (w[0] == "set" && w.size() == 3 && ParseNumber(w[2], &value)) {
            return SetLive(w[1], uint32_t(value), error);
        } else if (w[0] == "register" && w.size() == 3 && ParseNumber(w[2], &value)) {
            const uint32_t slot = ParseSlot(w[1]);
            if (slot == SLOT_TRAY) {
                trayWindow_ = uint32_t(value);
                WriteUserKey();
            }
            Register(device_.get(), slot, uint32_t(value));
        } else if (w[0] == "unregister" && w.size() == 2) {
            const uint32_t slot = ParseSlot(w[1]);
            if (slot == SLOT_TRAY)
                trayWindow_ = 0;
            Unregister(device_.get(), slot);
        } else if (w[0] == "threshold" && w.size() == 2 && ParseNumber(w[1], &value)) {
            threshold_ = uint32_t(value);
            Reload();
        } else if (w[0] == "clock" && w.size() == 2 && ParseNumber(w[1], &value)) {
            if (value > clockMs_) {
                Sleep(DWORD(value - clockMs_));
                clockMs_ = value;
            }
        } else if (w[0] == "batch") {
            batch_.clear();
            mode_ = Mode::Batch;
        } else if (w[0] == "request" && w.size() == 2) {
            trayRequest_ = w[1] == "TRAY_UPDATE";
            request_ = G_config;
            mode_ = Mode::Request;
        } else if (w[0] == "usb" && w.size() == 5) {
            Usb(w);
        } else if (w[0] != "print") {
            *error = "cannot replay this line";
            return false;
        }
        return true;
    }

    const std::vector<std::string>& Output() const { return output_; }

private:
    enum class Mode { Commands, Batch, Request };

    bool SetLive(const std::string& name, uint32_t value, std::string* error)
    {
        uint32_t* field = FindConfigField(&G_config, name);
        if (!field) {
            *error = "unknown field";
            return false;
        }
        *field = value;
        CONFIG_BLOCK check = G_config;
        if (VerifyConfigAndSetDefaults(&check, &check) != 0) {
            *error = "the driver loads only valid settings";
            return false;
        }
        Reload();
        return true;
    }

    // The replay's live block into the user's key, with the threshold.
    void WriteUserKey()
    {
        HKEY key;
        if (RegCreateKeyExA(HKEY_CURRENT_USER, CONFIG_USER_SUBKEY, 0, nullptr, 0, KEY_SET_VALUE,
                            nullptr, &key, nullptr) != ERROR_SUCCESS)
            return;
        for (int i = 0; i < CONFIG_DWORD_VALUE_COUNT; ++i)
            RegSetValueExA(key, CONFIG_DWORD_VALUES[i].Name, 0, REG_DWORD,
                           reinterpret_cast<const BYTE*>(ConfigDword(&G_config, CONFIG_DWORD_VALUES[i])),
                           4);
        for (int b = 0; b < BUTTON_COUNT; ++b) {
            char name[16];
            uint8_t record[BUTTON_VALUE_MAX];
            FormatButtonValueName(b, name);
            const uint32_t length = EncodeButtonValue(&G_config, b, nullptr, record);
            RegSetValueExA(key, name, 0, REG_BINARY, record, length);
        }
        RegSetValueExA(key, CLICK_THRESHOLD_VALUE_NAME, 0, REG_DWORD,
                       reinterpret_cast<const BYTE*>(&threshold_), 4);
        RegCloseKey(key);
    }

    // The driver loads the user's key when the tray registers.
    void Reload()
    {
        WriteUserKey();
        Register(device_.get(), SLOT_TRAY, trayWindow_ ? trayWindow_ : REPLAY_TRAY_WINDOW);
        if (!trayWindow_)
            Unregister(device_.get(), SLOT_TRAY);
    }

    bool BatchLine(const std::vector<std::string>& w, std::string* error)
    {
        if (w[0] == "end") {
            mode_ = Mode::Commands;
            rig_.Inject(batch_);
            Events();
            for (const MOUSE_INPUT_DATA& packet : rig_.TakePackets())
                output_.push_back(PacketLine(packet));
            return true;
        }
        int64_t x = 0, y = 0, data = 0, unit = 0;
        if (w.size() < 3 || !ParseNumber(w[1], &x) || !ParseNumber(w[2], &y) ||
            (w.size() > 3 && !ParseNumber(w[3], &data)) ||
            (w.size() > 4 && !ParseNumber(w[4], &unit))) {
            *error = "a packet is FLAGS X Y [DATA [UNIT]]";
            return false;
        }
        MOUSE_INPUT_DATA packet = Packet(ParseFlags(w[0]), int32_t(x), int32_t(y), uint16_t(data));
        packet.UnitId = uint16_t(unit);
        batch_.push_back(packet);
        return true;
    }

    bool RequestLine(const std::vector<std::string>& w)
    {
        int64_t value = 0;
        if (w[0] == "set" && w.size() == 3 && ParseNumber(w[2], &value)) {
            if (uint32_t* field = FindConfigField(&request_, w[1]))
                *field = uint32_t(value);
            return true;
        }
        mode_ = Mode::Commands;
        CONFIG_BLOCK sent = request_;
        SendConfigBlock(device_.get(),
                        trayRequest_ ? IOCTL_MOUFILTER_TRAY_UPDATE : IOCTL_MOUFILTER_SET_CONFIG,
                        &sent);
        if (trayRequest_)
            ApplyTrayRequest(&request_);
        else
            ApplyConfigRequest(&request_);
        Events();
        return true;
    }

    void Usb(const std::vector<std::string>& w)
    {
        RIG_TRANSFER_REQUEST request = {};
        for (int i = 0; i < 4; ++i) {
            int64_t value = 0;
            ParseNumber(w[i + 1], &value);
            request.Report[i] = uint8_t(value);
        }
        request.Capacity = 12;
        request.UseMdl = 1;
        const RIG_TRANSFER_RESULT result = rig_.SubmitTransfer(request);
        const uint32_t length =
            result.Length < sizeof(result.Buffer) ? result.Length : uint32_t(sizeof(result.Buffer));
        output_.push_back(ReportLine(result.Buffer, length));
    }

    // The driver's events so far; the gesture's speeds go into the copy.
    void Events()
    {
        for (const DRIVER_EVENT& event : DrainEvents(reader_.get())) {
            if (event.Message == MSG_SPEED_CHANGED) {
                G_config.VexonSpeedX = SpeedParamX(event.wParam);
                G_config.VexonSpeedY = SpeedParamY(event.wParam);
            }
            output_.push_back(EventLine(event));
        }
    }

    Handle device_{OpenMouseDriver(false)};
    Handle reader_{OpenMouseDriver(true)};
    RigClassDriver rig_;
    Mode mode_ = Mode::Commands;
    std::vector<MOUSE_INPUT_DATA> batch_;
    CONFIG_BLOCK request_ = {};
    bool trayRequest_ = false;
    uint32_t trayWindow_ = 0;
    uint32_t threshold_ = 0;
    int64_t clockMs_ = 0;
    std::vector<std::string> output_;
};

// The lines of vexon-pipe's output that the driver's side shows.
std::vector<std::string> ExpectedLines(std::istream& in)
{
    std::vector<std::string> lines;
    std::string line;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        if (line.rfind("packet ", 0) == 0 || line.rfind("event ", 0) == 0 ||
            line.rfind("report ", 0) == 0)
            lines.push_back(line);
    }
    return lines;
}

std::string Joined(const std::vector<std::string>& lines)
{
    std::string text;
    for (const std::string& line : lines)
        text += line + "\n";
    return text;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc != 3) {
        fprintf(stderr, "usage: pipeline_replay SCENARIO.pipe EXPECTED.out\n");
        return 2;
    }
    std::ifstream scenario(argv[1]);
    std::ifstream expectedFile(argv[2]);
    if (!scenario || !expectedFile) {
        fprintf(stderr, "pipeline_replay: cannot read %s or %s\n", argv[1], argv[2]);
        return 2;
    }
    Replay replay;
    std::string error;
    if (!replay.Open(&error)) {
        fprintf(stderr, "pipeline_replay: %s\n", error.c_str());
        return 1;
    }
    std::string line;
    for (int number = 1; std::getline(scenario, line); ++number) {
        const std::vector<std::string> words = ScenarioWords(line);
        if (!words.empty() && !replay.Line(words, &error)) {
            fprintf(stderr, "pipeline_replay: line %d: %s\n", number, error.c_str());
            return 2;
        }
    }
    const std::string got = Joined(replay.Output());
    const std::string expected = Joined(ExpectedLines(expectedFile));
    std::cout << got;
    if (got != expected) {
        std::cout << "--- the driver differs from vexon-pipe, which printed:\n" << expected;
        return 1;
    }
    return 0;
}
