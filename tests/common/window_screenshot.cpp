// Saves the client area of a window as a PNG file through GDI+.
#include "tests/common/window_screenshot.h"

#include <gdiplus.h>

#include "support/unique_any.h"

namespace test {

namespace {

using unique_bitmap = cv::unique_null<HBITMAP, &::DeleteObject>;
using unique_dc = cv::unique_null<HDC, &::DeleteDC>;

// The PNG encoder of GDI+: {557CF406-1A04-11D3-9A73-0000F81EF32E}.
const CLSID PngEncoder = {0x557cf406, 0x1a04, 0x11d3, {0x9a, 0x73, 0x00, 0x00, 0xf8, 0x1e, 0xf3, 0x2e}};

class GdiplusSession {
public:
    GdiplusSession() {
        Gdiplus::GdiplusStartupInput input;
        ok_ = Gdiplus::GdiplusStartup(&token_, &input, nullptr) == Gdiplus::Ok;
    }
    ~GdiplusSession() {
        if (ok_) Gdiplus::GdiplusShutdown(token_);
    }
    bool ok() const { return ok_; }

private:
    ULONG_PTR token_ = 0;
    bool ok_ = false;
};

void Paint(HWND window) {
    ::RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW | RDW_FRAME);
    MSG message;
    for (int round = 0; round < 20; ++round) {
        while (::PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            ::TranslateMessage(&message);
            ::DispatchMessageW(&message);
        }
        ::Sleep(25);
    }
}

}  // namespace

bool SaveWindowPng(HWND window, const std::wstring& path) {
    Paint(window);
    RECT client{};
    ::GetClientRect(window, &client);
    // The client area as the window's surface holds it, children included. The caption is left
    // out: on a bare X server no window manager draws it.
    HDC windowDc = ::GetDC(window);
    unique_dc memory(::CreateCompatibleDC(windowDc));
    unique_bitmap bitmap(::CreateCompatibleBitmap(windowDc, client.right, client.bottom));
    HGDIOBJ previous = ::SelectObject(memory.get(), bitmap.get());
    const BOOL copied = ::BitBlt(memory.get(), 0, 0, client.right, client.bottom, windowDc, 0, 0, SRCCOPY);
    ::SelectObject(memory.get(), previous);
    ::ReleaseDC(window, windowDc);
    if (!copied) return false;

    GdiplusSession session;
    if (!session.ok()) return false;
    Gdiplus::Bitmap image(bitmap.get(), nullptr);
    return image.Save(path.c_str(), &PngEncoder, nullptr) == Gdiplus::Ok;
}

}  // namespace test
