// What one paint of the row costs against a bare repaint of a bitmap of the
// row's size, in the same process: both windows sit side by side in a stand-in
// Today screen and are repainted the same way, through WM_PAINT.
//
// Google Benchmark is built for the host only here, so this is a plain timer
// loop on QueryPerformanceCounter: batches of paints, each kind in turn, and
// the median batch of each kind.
#include <windows.h>

#include <stdio.h>

#include <algorithm>
#include <vector>

#include "item/item.h"
#include "item/item_state.h"
#include "tests/support/today_stub.h"

namespace {

const int kWidth = today_stub::kRowWidth;
const int kHeight = static_cast<int>(kItemHeight);
const int kPaintsPerBatch = 50;
const int kBatches = 41;

HDC bareBitmapDc;

LRESULT CALLBACK BareRowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message != WM_PAINT)
        return DefWindowProcW(window, message, wParam, lParam);
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(window, &ps);
    BitBlt(dc, 0, 0, kWidth, kHeight, bareBitmapDc, 0, 0, SRCCOPY);
    EndPaint(window, &ps);
    return 0;
}

// Below the item's row, holding a picture of it.
HWND CreateBareRow(HWND itemRow)
{
    WNDCLASSW wc = {};
    wc.lpfnWndProc = BareRowProc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = L"BareRow";
    RegisterClassW(&wc);
    HDC screen = GetDC(nullptr);
    bareBitmapDc = CreateCompatibleDC(screen);
    SelectObject(bareBitmapDc, CreateCompatibleBitmap(screen, kWidth, kHeight));
    ReleaseDC(nullptr, screen);
    HDC row = GetDC(itemRow);
    BitBlt(bareBitmapDc, 0, 0, kWidth, kHeight, row, 0, 0, SRCCOPY);
    ReleaseDC(itemRow, row);
    return CreateWindowExW(0, wc.lpszClassName, L"", WS_CHILD | WS_VISIBLE, 0, 2 * kHeight, kWidth, kHeight,
                           today_stub::Window(), nullptr, wc.hInstance, nullptr);
}

// Milliseconds per paint over one batch.
double TimeBatch(HWND window)
{
    LARGE_INTEGER frequency, start, end;
    QueryPerformanceFrequency(&frequency);
    QueryPerformanceCounter(&start);
    for (int paint = 0; paint < kPaintsPerBatch; ++paint)
        RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    QueryPerformanceCounter(&end);
    return 1000.0 * static_cast<double>(end.QuadPart - start.QuadPart) / static_cast<double>(frequency.QuadPart) /
           kPaintsPerBatch;
}

double Median(std::vector<double> times)
{
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

}  // namespace

int main()
{
    TODAYLISTITEM record;
    HWND itemRow = today_stub::InitializeItem(&record);
    if (!itemRow) {
        fprintf(stderr, "row_paint_benchmark: the item made no row\n");
        return 1;
    }
    // As on the device: the row takes the Today screen's colour and watermark.
    itemState.themedShell = 1;
    RedrawWindow(itemRow, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    HWND bareRow = CreateBareRow(itemRow);
    today_stub::PumpMessages();

    // Turn about, so that both kinds see the same load on the machine; the
    // first batch of each warms what a first paint fills.
    TimeBatch(itemRow);
    TimeBatch(bareRow);
    std::vector<double> rowTimes, bareTimes;
    for (int batch = 0; batch < kBatches; ++batch) {
        rowTimes.push_back(TimeBatch(itemRow));
        bareTimes.push_back(TimeBatch(bareRow));
    }
    const double row = Median(rowTimes), bare = Median(bareTimes);
    printf("%d batches of %d paints each; per paint, in the median batch:\n", kBatches, kPaintsPerBatch);
    printf("row paint     %.3f ms\n", row);
    printf("bare repaint  %.3f ms (a %dx%d bitmap)\n", bare, kWidth, kHeight);
    printf("ratio         %.1f\n", row / bare);
    return 0;
}
