// CMainFrame: the driver's events, and the meter program.
#include "main_frame.h"

#include "driver_client.h"
#include "input_player.h"
#include "registry_config.h"
#include "window_handle.h"

namespace {

constexpr size_t COMMAND_LINE_MAX = 4096;
const char OVERLAY_SWITCH[] = " /enabled";

}  // namespace

LRESULT CMainFrame::OnSpeedChanged(WPARAM wParam, LPARAM)
{
    SetSetting(&m_config.VexonSpeedX, SpeedParamX(uint32_t(wParam)), false);
    SetSetting(&m_config.VexonSpeedY, SpeedParamY(uint32_t(wParam)), false);
    return 0;
}

LRESULT CMainFrame::OnOfaEnabledChanged(WPARAM wParam, LPARAM)
{
    SetSetting(&m_config.OFASensitivityEnabled, uint32_t(wParam), false);
    UpdateOverlay();
    return 0;
}

LRESULT CMainFrame::OnOfaVisibleChanged(WPARAM wParam, LPARAM)
{
    SetSetting(&m_config.OFASensitivityViewable, uint32_t(wParam), false);
    UpdateOverlay();
    return 0;
}

LRESULT CMainFrame::OnUniversalScrollChanged(WPARAM wParam, LPARAM)
{
    SetSetting(&m_config.UniversalScrollEnabled, uint32_t(wParam), false);
    return 0;
}

// The driver tells of a change the Customizer stored: take the buttons from
// the registry. Nothing is saved or sent back.
LRESULT CMainFrame::OnButtonsChanged(WPARAM, LPARAM)
{
    CONFIG_BLOCK fresh;
    LoadConfig(&fresh);
    MergeButtons(&m_config, &fresh, nullptr, nullptr);
    return 0;
}

LRESULT CMainFrame::OnButtonState(WPARAM, LPARAM lParam)
{
    BUTTON_EDGE edge;
    if (!DecodeButtonState(uint32_t(lParam), &edge))
        return -1;
    SendButtonEdge(edge);
    return 0;
}

namespace {

// Plays what planner works out for the button in lParam; -1 for a button
// outside 0..4.
LRESULT PlayKeys(int (*planner)(const CONFIG_BLOCK&, uint32_t, KEY_STROKE*),
                 const CONFIG_BLOCK& config, LPARAM lParam)
{
    KEY_STROKE strokes[MACRO_MAX_EVENTS];
    const int count = planner(config, uint32_t(lParam), strokes);
    if (count < 0)
        return -1;
    SendKeyStrokes(strokes, count);
    return 0;
}

}  // namespace

LRESULT CMainFrame::OnPlayMacro(WPARAM, LPARAM lParam)
{
    return PlayKeys(PlanMacro, m_config, lParam);
}

LRESULT CMainFrame::OnKeysDown(WPARAM, LPARAM lParam)
{
    return PlayKeys(PlanKeysDown, m_config, lParam);
}

LRESULT CMainFrame::OnKeysUp(WPARAM, LPARAM lParam)
{
    return PlayKeys(PlanKeysUp, m_config, lParam);
}

LRESULT CMainFrame::OnDoubleClick(WPARAM, LPARAM)
{
    SendClick(MOUSEEVENTF_LEFTDOWN, MOUSEEVENTF_LEFTUP);
    SendClick(MOUSEEVENTF_LEFTDOWN, MOUSEEVENTF_LEFTUP);
    return 0;
}

LRESULT CMainFrame::OnLeftClick(WPARAM, LPARAM)
{
    SendClick(MOUSEEVENTF_LEFTDOWN, MOUSEEVENTF_LEFTUP);
    return 0;
}

LRESULT CMainFrame::OnRightClick(WPARAM, LPARAM)
{
    SendClick(MOUSEEVENTF_RIGHTDOWN, MOUSEEVENTF_RIGHTUP);
    return 0;
}

LRESULT CMainFrame::OnMiddleClick(WPARAM, LPARAM)
{
    SendClick(MOUSEEVENTF_MIDDLEDOWN, MOUSEEVENTF_MIDDLEUP);
    return 0;
}

// The meter runs while a mouse of the suite is present and both of its
// switches are on; starting it again is harmless, it keeps one copy.
void CMainFrame::UpdateOverlay()
{
    const bool devicePresent = m_ps2Present != 0 || !m_devicePaths.empty();
    if (devicePresent && m_config.OFASensitivityEnabled && m_config.OFASensitivityViewable) {
        RunCommandLine(std::string(m_config.ProgramOFA) + OVERLAY_SWITCH);
        return;
    }
    CloseOverlay();
}

void CMainFrame::CloseOverlay()
{
    if (m_hDevice == INVALID_HANDLE_VALUE)
        return;
    const uint32_t overlay = SendSlotRequest(m_hDevice, IOCTL_MOUFILTER_QUERY_OFA, m_hWnd, SLOT_TRAY);
    if (overlay && IsWindow(WireToHandle(overlay)))
        PostMessageA(WireToHandle(overlay), WM_APP_MESSAGE, OFA_CLOSE, 0);
}

bool CMainFrame::RunCommandLine(const std::string& commandLine)
{
    char text[COMMAND_LINE_MAX];
    lstrcpynA(text, commandLine.c_str(), sizeof(text));
    STARTUPINFOA startup = {};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION process = {};
    if (!CreateProcessA(nullptr, text, nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                        &process))
        return false;
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return true;
}
