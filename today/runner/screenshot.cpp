#include "screenshot.h"

#include <errno.h>
#include <stdio.h>

#include <vector>

#include "device/device_screen.h"
#include "today/shared/pixels.h"

#define STB_IMAGE_WRITE_IMPLEMENTATION
#define STBI_WRITE_NO_STDIO
#include "stb_image_write.h"

namespace {

void AppendToFile(void* context, void* data, int size)
{
    fwrite(data, 1, size, static_cast<FILE*>(context));
}

}  // namespace

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

std::wstring WhyNotWritten(const std::wstring& path)
{
    // The usual cause, in words: the C runtime would say only that "no such
    // file or directory" exists.
    const size_t slash = path.find_last_of(L"\\/");
    if (slash != std::wstring::npos && slash > 0) {
        const std::wstring folder = path.substr(0, slash);
        const DWORD attributes = GetFileAttributesW(folder.c_str());
        if (attributes == INVALID_FILE_ATTRIBUTES || !(attributes & FILE_ATTRIBUTE_DIRECTORY))
            return L"there is no folder " + folder;
    }
    return _wcserror(errno);
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
