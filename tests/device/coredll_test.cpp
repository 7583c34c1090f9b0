#include <gtest/gtest.h>

#include "device/device_environment.h"
#include "device/include/ce_kernel.h"

namespace {

TEST(DeviceClock, AFixedClockStandsStillAndAnInvalidOneIsIgnored)
{
    struct Case {
        const wchar_t* setting;
        bool fixed;
        WORD year, month, day, dayOfWeek, hour, minute, second;
    };
    const Case cases[] = {
        {L"2026-12-13T14:25:36", true, 2026, 12, 13, 0, 14, 25, 36},
        {L"2024-02-29T23:59:59", true, 2024, 2, 29, 4, 23, 59, 59},
        {L"2024-02-29 23:59:59", false, 0, 0, 0, 0, 0, 0, 0},
        {L"2026-02-30T10:00:00", false, 0, 0, 0, 0, 0, 0, 0},  // no such day
        {L"13:00", false, 0, 0, 0, 0, 0, 0, 0},
        {L"", false, 0, 0, 0, 0, 0, 0, 0},
    };
    for (const Case& c : cases) {
        SetEnvironmentVariableW(kDeviceClockVariable, c.setting);
        SYSTEMTIME device, local;
        GetLocalTime(&device);
        if (c.fixed) {
            EXPECT_EQ(device.wYear, c.year) << c.setting;
            EXPECT_EQ(device.wMonth, c.month);
            EXPECT_EQ(device.wDay, c.day);
            EXPECT_EQ(device.wDayOfWeek, c.dayOfWeek);
            EXPECT_EQ(device.wHour, c.hour);
            EXPECT_EQ(device.wMinute, c.minute);
            EXPECT_EQ(device.wSecond, c.second);
            EXPECT_EQ(device.wMilliseconds, 0);
        } else {
            // The local time: the same year as the desktop's clock.
            GetSystemTime(&local);
            EXPECT_LE(device.wYear - local.wYear, 1) << c.setting;
            EXPECT_GE(device.wYear, 2020) << c.setting;
        }
    }
    SetEnvironmentVariableW(kDeviceClockVariable, nullptr);
}

TEST(DeviceSystem, ReportsAPocketPcOfVersionThreeUnlessToldOtherwise)
{
    wchar_t platform[260] = {};
    ASSERT_TRUE(SystemParametersInfoW(SPI_GETPLATFORMTYPE, sizeof(platform), platform, 0));
    EXPECT_STREQ(platform, L"PocketPC");
    EXPECT_FALSE(SystemParametersInfoW(SPI_GETPLATFORMTYPE, 4, platform, 0)) << "too small a buffer";

    SetEnvironmentVariableW(kDevicePlatformVariable, L"desktop");
    EXPECT_FALSE(SystemParametersInfoW(SPI_GETPLATFORMTYPE, sizeof(platform), platform, 0));
    SetEnvironmentVariableW(kDevicePlatformVariable, nullptr);

    OSVERSIONINFOW version = {};
    version.dwOSVersionInfoSize = sizeof(version);
    ASSERT_TRUE(GetVersionExW(&version));
    EXPECT_EQ(version.dwMajorVersion, 3u);
    EXPECT_EQ(version.dwMinorVersion, 0u);
    EXPECT_EQ(version.dwPlatformId, 3u);
    SetEnvironmentVariableW(kDeviceVersionVariable, L"4.20");
    ASSERT_TRUE(GetVersionExW(&version));
    EXPECT_EQ(version.dwMajorVersion, 4u);
    EXPECT_EQ(version.dwMinorVersion, 20u);
    SetEnvironmentVariableW(kDeviceVersionVariable, nullptr);

    // Anything else is the desktop's answer.
    UINT width = 0;
    EXPECT_TRUE(SystemParametersInfoW(SPI_GETCARETWIDTH, 0, &width, 0));
}

TEST(DeviceReset, SignalsTheShellOrFailsWithoutOne)
{
    EXPECT_FALSE(KernelIoControl(IOCTL_HAL_REBOOT, nullptr, 0, nullptr, 0, nullptr)) << "no shell to reset";
    HANDLE shell = CreateEventW(nullptr, TRUE, FALSE, kSoftResetEventName);
    ASSERT_TRUE(shell);
    EXPECT_TRUE(KernelIoControl(IOCTL_HAL_REBOOT, nullptr, 0, nullptr, 0, nullptr));
    EXPECT_EQ(WaitForSingleObject(shell, 0), WAIT_OBJECT_0);
    ResetEvent(shell);
    EXPECT_FALSE(KernelIoControl(0x01010000, nullptr, 0, nullptr, 0, nullptr)) << "another code";
    EXPECT_EQ(WaitForSingleObject(shell, 0), static_cast<DWORD>(WAIT_TIMEOUT));
    CloseHandle(shell);
}

}  // namespace
