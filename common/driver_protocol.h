// The contract between the programs and the filter driver: the control
// device, its request codes and buffers, the registration slots, the 16-byte
// driver event and the suite's private window messages.
//
// Portable: included by the kernel driver, the programs and the host tools.
#pragma once

#include <stdint.h>

// Win32 paths of the control device (Windows NT family), of the Windows 98
// driver and of the PS/2 companion driver.
#define VEXON_CONTROL_DEVICE_PATH "\\\\.\\VEXON0"
#define VEXON_VXD_PATH "\\\\.\\vexon.VXD"
#define VEXON_PS2_DEVICE_PATH "\\\\.\\VEXONPS2"
// Kernel name of the control device (a wide string, used by the driver only).
#define VEXON_CONTROL_DEVICE_KERNEL_NAME L"\\DosDevices\\VEXON0"

// METHOD_BUFFERED, FILE_ANY_ACCESS requests on device type 0x22.
constexpr uint32_t MoufilterCode(uint32_t function)
{
    return (0x22u << 16) | (function << 2);
}

enum : uint32_t {
    IOCTL_MOUFILTER_SET_CONFIG = MoufilterCode(0x800),
    IOCTL_MOUFILTER_TRAY_UPDATE = MoufilterCode(0x801),
    IOCTL_MOUFILTER_REGISTER = MoufilterCode(0x802),
    IOCTL_MOUFILTER_UNREGISTER = MoufilterCode(0x803),
    IOCTL_MOUFILTER_QUERY_OFA = MoufilterCode(0x804),
    IOCTL_MOUFILTER_GET_EVENT = MoufilterCode(0x810),
};
static_assert(IOCTL_MOUFILTER_SET_CONFIG == 0x222000, "request code");
static_assert(IOCTL_MOUFILTER_UNREGISTER == 0x22200C, "request code");
static_assert(IOCTL_MOUFILTER_GET_EVENT == 0x222040, "request code");

// The one request the programs send to the PS/2 companion driver:
// input {u32 window, u32 flag}, 4-byte reply.
constexpr uint32_t IOCTL_VEXONPS2_QUERY = 1032;

// Replies of the slot requests.
constexpr uint32_t DRIVER_REPLY_OK = 0;
constexpr uint32_t DRIVER_REPLY_BAD_SLOT = 0xFFFFFFFFu;

// Registration slots: the windows that receive the driver's events.
enum : uint32_t {
    SLOT_CONFIG = 0,      // the customizer's main window
    SLOT_TRAY = 1,        // the tray's main window
    SLOT_OFA = 2,         // the overlay's window
    SLOT_MOUSEWHEEL = 3,  // the tray's wheel window (Windows 98 driver only)
    SLOT_COUNT = 4,
};

// The driver's record of one slot.
struct APP_STATUS {
    uint32_t Slot;
    uint32_t hWnd;
    uint32_t Registered;
    uint32_t Reserved;
};

// Input of IOCTL_MOUFILTER_REGISTER, _UNREGISTER and _QUERY_OFA.
struct SLOT_REQUEST {
    uint32_t hWnd;
    uint32_t Slot;
};
static_assert(sizeof(SLOT_REQUEST) == 8, "slot request is two words");

// One queued notification: PostMessage(hWnd, Message, wParam, lParam) once
// the tray's reader has it.
struct DRIVER_EVENT {
    uint32_t hWnd;
    uint32_t Message;
    uint32_t wParam;  // always below 0x10000
    uint32_t lParam;
};
static_assert(sizeof(DRIVER_EVENT) == 16, "the driver event is 16 bytes");

// The overlay's commands travel as WM_APP with a code in wParam.
constexpr uint32_t WM_APP_MESSAGE = 0x8000;
enum : uint32_t {
    OFA_SHOW = 9090,
    OFA_HIDE = 9091,
    OFA_CLOSE = 9099,
};

// The suite's private window messages.
enum : uint32_t {
    MSG_SPEED_CHANGED = 0x9000,
    MSG_OFA_ENABLED_CHANGED = 0x9001,
    MSG_OFA_VISIBLE_CHANGED = 0x9002,
    MSG_UNIVERSAL_SCROLL_CHANGED = 0x9003,
    MSG_WHEEL_EVENT = 0x9006,
    MSG_BUTTONS_CHANGED = 0x9007,
    MSG_BUTTON_STATE = 0x9008,
    MSG_PLAY_MACRO = 0x9009,
    MSG_SCROLL_LINES_CHANGED = 0x9010,
    MSG_KEYS_DOWN = 0x9011,
    MSG_KEYS_UP = 0x9012,
    MSG_DOUBLE_CLICK = 0x9013,
    MSG_LEFT_CLICK = 0x9014,
    MSG_RIGHT_CLICK = 0x9015,
    MSG_MIDDLE_CLICK = 0x9016,
};

// wParam of MSG_SPEED_CHANGED: X in bits 0-7, Y in bits 8-15.
constexpr uint32_t MakeSpeedParam(uint32_t speedX, uint32_t speedY)
{
    return (speedX & 0xFF) | ((speedY & 0xFF) << 8);
}
constexpr uint32_t SpeedParamX(uint32_t param) { return param & 0xFF; }
constexpr uint32_t SpeedParamY(uint32_t param) { return (param >> 8) & 0xFF; }

// lParam of OFA_SHOW / OFA_HIDE: the speeds as above, bit 31 selects the
// two-bar meter (separate X and Y sensitivities).
constexpr uint32_t OFA_PARAM_TWO_BARS = 0x80000000u;
constexpr uint32_t MakeOfaParam(uint32_t speedX, uint32_t speedY, bool twoBars)
{
    return MakeSpeedParam(speedX, speedY) | (twoBars ? OFA_PARAM_TWO_BARS : 0);
}

// Registered window messages.
#define VEXON_DRIVER_JUST_LOADED_MSG_NAME "VEXON_DRIVER_JUST_LOADED_MSG"
#define MSWHEEL_ROLLMSG_NAME "MSWHEEL_ROLLMSG"
#define MSH_WHEELSUPPORT_MSG_NAME "MSH_WHEELSUPPORT_MSG"
#define MSH_SCROLL_LINES_MSG_NAME "MSH_SCROLL_LINES_MSG"

// Window titles and classes by which the programs find each other.
#define CUSTOMIZER_WINDOW_TITLE "Vexon Customizer"
#define TRAY_WINDOW_TITLE "ZIRERERODEVURU"
#define WHEEL_WINDOW_CLASS "MouseZ"
#define WHEEL_WINDOW_TITLE "Magellan MSWHEEL"

// Device interface identifiers, laid out as the platform's GUID.
struct INTERFACE_GUID {
    uint32_t Data1;
    uint16_t Data2;
    uint16_t Data3;
    uint8_t Data4[8];
};
static_assert(sizeof(INTERFACE_GUID) == 16, "GUID layout");

// Registered and enabled on each mouse the filter attaches to.
constexpr INTERFACE_GUID VEXON_GUID = {
    0x47D662A1, 0x566C, 0x11D3, {0x9C, 0xE3, 0x00, 0x10, 0x5A, 0xA6, 0xD8, 0x03}};
// Enabled at device start and disabled at removal; the tray watches it.
constexpr INTERFACE_GUID GUID_AUTOLAUNCH_NOTIFY = {
    0xBA4EC740, 0xDA8B, 0x11D2, {0x81, 0xB5, 0x00, 0xC0, 0x4F, 0xA3, 0x30, 0xA6}};
