#include "screen.h"

#include <stdio.h>

#include <vector>

#include "device/device_screen.h"

#define STB_IMAGE_WRITE_IMPLEMENTATION
#define STBI_WRITE_NO_STDIO
#include "stb_image_write.h"

namespace {

void AppendToFile(void* context, void* data, int size)
{
    fwrite(data, 1, size, static_cast<FILE*>(context));
}

}  // namespace

std::vector<DWORD> CopyPixels(HDC source, const RECT& rect)
{
    const int width = rect.right - rect.left;
    const int height = rect.bottom - rect.top;
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    void* bits = nullptr;
    HDC memory = CreateCompatibleDC(source);
    HBITMAP picture = CreateDIBSection(memory, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ kept = SelectObject(memory, picture);
    BitBlt(memory, 0, 0, width, height, source, rect.left, rect.top, SRCCOPY);
    GdiFlush();
    auto pixels = static_cast<const DWORD*>(bits);
    std::vector<DWORD> copied(pixels, pixels + static_cast<size_t>(width) * height);
    SelectObject(memory, kept);
    DeleteObject(picture);
    DeleteDC(memory);
    return copied;
}

std::vector<DWORD> CaptureScreen()
{
    // Straight from the screen: every window shows, the item rows included.
    HDC screen = GetDC(nullptr);
    std::vector<DWORD> captured = CopyPixels(screen, DeviceScreenRect());
    ReleaseDC(nullptr, screen);
    return captured;
}

bool SaveScreenshot(const wchar_t* path)
{
    return SavePicture(CaptureScreen(), path);
}

bool SavePicture(const std::vector<DWORD>& pixels, const wchar_t* path)
{
    std::vector<unsigned char> rgb;
    rgb.reserve(pixels.size() * 3);
    for (DWORD pixel : pixels) {
        rgb.push_back(static_cast<unsigned char>(pixel >> 16));
        rgb.push_back(static_cast<unsigned char>(pixel >> 8));
        rgb.push_back(static_cast<unsigned char>(pixel));
    }
    FILE* file = _wfopen(path, L"wb");
    if (!file)
        return false;
    const RECT screen = DeviceScreenRect();
    const int width = screen.right - screen.left;
    bool written = stbi_write_png_to_func(AppendToFile, file, width, static_cast<int>(pixels.size()) / width, 3,
                                          rgb.data(), width * 3) != 0;
    return fclose(file) == 0 && written;
}

namespace {

// A point of the device's screen; absolute positions run from 0 to 65535
// across the whole desktop.
INPUT StylusAt(int x, int y, DWORD action)
{
    const RECT screen = DeviceScreenRect();
    x += screen.left;
    y += screen.top;
    const int width = GetSystemMetrics(SM_CXSCREEN);
    const int height = GetSystemMetrics(SM_CYSCREEN);
    INPUT input = {};
    input.type = INPUT_MOUSE;
    // In 64 bits: a coordinate of 32768 or more times 65536 overflows an int.
    input.mi.dx = static_cast<LONG>((x * 65536LL + width - 1) / width);
    input.mi.dy = static_cast<LONG>((y * 65536LL + height - 1) / height);
    input.mi.dwFlags = action | MOUSEEVENTF_ABSOLUTE;
    return input;
}

}  // namespace

void TapScreen(int x, int y)
{
    // Each event carries its position, so a press cannot land where the
    // pointer was before.
    INPUT tap[] = {StylusAt(x, y, MOUSEEVENTF_MOVE | MOUSEEVENTF_LEFTDOWN),
                   StylusAt(x, y, MOUSEEVENTF_MOVE | MOUSEEVENTF_LEFTUP)};
    SendInput(2, tap, sizeof(INPUT));
}

void PressKey(WORD virtualKey)
{
    INPUT press[2] = {};
    for (INPUT& input : press) {
        input.type = INPUT_KEYBOARD;
        input.ki.wVk = virtualKey;
    }
    press[1].ki.dwFlags = KEYEVENTF_KEYUP;
    SendInput(2, press, sizeof(INPUT));
}
