// The driver client before any driver is loaded, and the reader's delivery.
#include <gtest/gtest.h>

#include <windows.h>

#include <thread>

#include "config_values.h"
#include "driver_client.h"
#include "window_handle.h"

namespace {

TEST(DriverClient, NoDeviceGivesNone)
{
    EXPECT_EQ(OpenMouseDriver(false), INVALID_HANDLE_VALUE);
    EXPECT_EQ(OpenMouseDriver(true), INVALID_HANDLE_VALUE);
}

TEST(DriverClient, FailedRequestsAnswerZero)
{
    CONFIG_BLOCK block;
    ClearConfig(&block);
    block.Result = 0x55AA;
    EXPECT_EQ(SendConfigBlock(INVALID_HANDLE_VALUE, IOCTL_MOUFILTER_SET_CONFIG, &block), 0u);
    EXPECT_EQ(block.Result, 0u);
    EXPECT_EQ(SendSlotRequest(INVALID_HANDLE_VALUE, IOCTL_MOUFILTER_REGISTER, nullptr, SLOT_TRAY),
              0u);
    EXPECT_EQ(SendSlotRequest(INVALID_HANDLE_VALUE, IOCTL_MOUFILTER_QUERY_OFA, nullptr, SLOT_TRAY),
              0u);
}

TEST(DriverClient, WindowHandlesSurviveTheWire)
{
    HWND window = CreateWindowA("STATIC", "wire", 0, 0, 0, 1, 1, nullptr, nullptr, nullptr,
                                nullptr);
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(WireToHandle(HandleToWire(window)), window);
    EXPECT_TRUE(IsWindow(WireToHandle(HandleToWire(window))));
    DestroyWindow(window);
}

DWORD ReadDword(const char* name)
{
    HKEY key;
    DWORD value = 0xDEAD, size = sizeof(value);
    if (RegOpenKeyExA(HKEY_CURRENT_USER, CONFIG_USER_SUBKEY, 0, KEY_READ, &key) == ERROR_SUCCESS) {
        RegQueryValueExA(key, name, nullptr, nullptr, reinterpret_cast<BYTE*>(&value), &size);
        RegCloseKey(key);
    }
    return value;
}

TEST(DriverEventDelivery, SpeedChangeWithoutWindowIsStoredNotPosted)
{
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
    }
    DeliverDriverEvent({0, MSG_SPEED_CHANGED, MakeSpeedParam(7, 12), 0});
    EXPECT_EQ(ReadDword("VexonSpeedX"), 7u);
    EXPECT_EQ(ReadDword("VexonSpeedY"), 12u);
    EXPECT_FALSE(PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE));
}

TEST(DriverEventDelivery, EventsArePostedToTheirWindow)
{
    HWND window = CreateWindowA("STATIC", "target", 0, 0, 0, 1, 1, nullptr, nullptr, nullptr,
                                nullptr);
    ASSERT_NE(window, nullptr);
    DeliverDriverEvent({HandleToWire(window), WM_APP_MESSAGE, OFA_SHOW, MakeOfaParam(5, 3, true)});
    DeliverDriverEvent({HandleToWire(window), MSG_SPEED_CHANGED, MakeSpeedParam(4, 2), 0});

    MSG msg;
    ASSERT_TRUE(PeekMessageA(&msg, window, 0, 0, PM_REMOVE));
    EXPECT_EQ(msg.message, WM_APP_MESSAGE);
    EXPECT_EQ(msg.wParam, WPARAM(OFA_SHOW));
    EXPECT_EQ(msg.lParam, LPARAM(0x80000305));
    ASSERT_TRUE(PeekMessageA(&msg, window, 0, 0, PM_REMOVE));
    EXPECT_EQ(msg.message, UINT(MSG_SPEED_CHANGED));
    EXPECT_EQ(msg.wParam, WPARAM(0x0204));
    EXPECT_EQ(ReadDword("VexonSpeedX"), 4u);
    EXPECT_EQ(ReadDword("VexonSpeedY"), 2u);
    DestroyWindow(window);
}

bool FlagSet(void* flag)
{
    return InterlockedCompareExchange(static_cast<volatile LONG*>(flag), 0, 0) != 0;
}

TEST(DriverEventReader, StopsWhenAsked)
{
    volatile LONG stop = 1;
    DRIVER_EVENT event;
    EXPECT_FALSE(WaitDriverEvent(INVALID_HANDLE_VALUE, &event, FlagSet, const_cast<LONG*>(&stop)));

    // Asked to stop while failing reads are being retried.
    stop = 0;
    std::thread stopper([&] { InterlockedExchange(&stop, 1); });
    EXPECT_FALSE(WaitDriverEvent(INVALID_HANDLE_VALUE, &event, FlagSet, const_cast<LONG*>(&stop)));
    stopper.join();
}

}  // namespace
