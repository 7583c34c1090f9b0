#include <gtest/gtest.h>

#include "device/clock_text.h"
#include "device/device_environment.h"
#include "device/include/ce_kernel.h"

// The device's platform and version, as the item reads them, are tested
// through the item's themed-shell detection; its soft reset through the
// options' unlink.
namespace {

// The desktop's local time in 100 ns units, to the millisecond as GetLocalTime gives it.
ULONGLONG DesktopLocalTime()
{
    FILETIME utc, local;
    GetSystemTimeAsFileTime(&utc);
    FileTimeToLocalFileTime(&utc, &local);
    const ULONGLONG units = (static_cast<ULONGLONG>(local.dwHighDateTime) << 32) | local.dwLowDateTime;
    return units - units % 10000;
}

// A valid setting fixes the deck's shuffle (the cards' tests) and the
// screenshots' deals; an invalid one leaves the desktop's time.
TEST(DeviceClock, AnInvalidSettingIsIgnored)
{
    for (const wchar_t* setting : {L"2024-02-29 23:59:59", L"2026-12-13T14:25:369", L""}) {
        SetEnvironmentVariableW(kDeviceClockVariable, setting);
        SYSTEMTIME device;
        const ULONGLONG before = DesktopLocalTime();
        GetLocalTime(&device);
        const ULONGLONG after = DesktopLocalTime();
        FILETIME asFileTime;
        SystemTimeToFileTime(&device, &asFileTime);
        const ULONGLONG read = (static_cast<ULONGLONG>(asFileTime.dwHighDateTime) << 32) | asFileTime.dwLowDateTime;
        EXPECT_TRUE(before <= read && read <= after) << setting;
    }
    SetEnvironmentVariableW(kDeviceClockVariable, nullptr);
}

TEST(DeviceClock, TheSettingTakesTheCalendarsEdgesAndWritesBackWhatItReads)
{
    const struct {
        const wchar_t* setting;
        int dayOfWeek;  // -1: refused
    } cases[] = {
        {L"2000-02-29T12:00:00", 2},   {L"1900-02-29T12:00:00", -1},  // a century leaps when divisible by 400
        {L"2024-02-29T12:00:00", 4},   {L"2023-02-29T12:00:00", -1},  // another year when divisible by 4
        {L"2026-04-30T12:00:00", 4},   {L"2026-04-31T12:00:00", -1},  // a month of 30 days
        {L"2026-12-31T12:00:00", 4},   {L"2026-12-32T12:00:00", -1},  // one of 31
        {L"2026-12-01T12:00:00", 2},   {L"2026-13-01T12:00:00", -1},  // the last month
        {L"2026-01-01T12:00:00", 4},   {L"2026-00-01T12:00:00", -1},  // no month 0
        {L"2026-01-01T12:00:00", 4},   {L"2026-01-00T12:00:00", -1},  // no day 0
        {L"2026-01-01T23:59:59", 4},   {L"2026-01-01T24:00:00", -1},  // no hour 24
        {L"2026-01-01T00:00:00", 4},   {L"2026-01-01T23:60:00", -1},  // no minute 60
        {L"2026-01-01T23:59:59", 4},   {L"2026-01-01T23:59:60", -1},  // no leap second
        {L"1601-01-01T00:00:00", 1},   {L"1600-12-31T23:59:59", -1},  // the years a file time counts
        {L"9999-12-31T23:59:59", 5},   {L"2026-01-01T12:00:0", -1},   // four digits, then two each
        {L"2026-01-01T12:00:00Z", -1},                                // and nothing after
    };
    for (const auto& c : cases) {
        SYSTEMTIME time = {};
        const bool read = ParseDeviceClock(c.setting, &time);
        EXPECT_EQ(read, c.dayOfWeek >= 0) << c.setting;
        if (!read)
            continue;
        EXPECT_EQ(time.wDayOfWeek, c.dayOfWeek) << c.setting;
        EXPECT_EQ(FormatDeviceClock(time), c.setting);
    }
}

TEST(DeviceSystem, AnswersThePlatformOnlyIntoARoomyBufferAndTheRestAsTheDesktop)
{
    wchar_t platform[260] = {};
    EXPECT_FALSE(SystemParametersInfoW(SPI_GETPLATFORMTYPE, 4, platform, 0)) << "too small a buffer";
    UINT width = 0;
    EXPECT_TRUE(SystemParametersInfoW(SPI_GETCARETWIDTH, 0, &width, 0));
}

}  // namespace
