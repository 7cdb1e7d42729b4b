#include "GuiDriver.h"

#include "DriverText.h"
#include "WideText.h"

#include <objidl.h>

#include <gdiplus.h>

#include <memory>

namespace tw::gui {

namespace {

class GdiplusSession {
  public:
    GdiplusSession() {
        Gdiplus::GdiplusStartupInput input;
        ok_ = Gdiplus::GdiplusStartup(&token_, &input, nullptr) == Gdiplus::Ok;
    }
    ~GdiplusSession() {
        if (ok_)
            Gdiplus::GdiplusShutdown(token_);
    }
    GdiplusSession(const GdiplusSession&) = delete;
    GdiplusSession& operator=(const GdiplusSession&) = delete;
    bool ok() const { return ok_; }

  private:
    ULONG_PTR token_ = 0;
    bool ok_ = false;
};

std::optional<CLSID> PngEncoder() {
    UINT count = 0, size = 0;
    if (Gdiplus::DllExports::GdipGetImageEncodersSize(&count, &size) != Gdiplus::Ok || size == 0)
        return std::nullopt;
    auto buf = std::make_unique<unsigned char[]>(size);
    auto* codecs = reinterpret_cast<Gdiplus::ImageCodecInfo*>(buf.get());
    if (Gdiplus::DllExports::GdipGetImageEncoders(count, size, codecs) != Gdiplus::Ok)
        return std::nullopt;
    for (UINT i = 0; i < count; ++i) {
        if (codecs[i].MimeType && wcscmp(codecs[i].MimeType, L"image/png") == 0)
            return codecs[i].Clsid;
    }
    return std::nullopt;
}

struct ScreenDc {
    HDC dc = GetDC(nullptr);
    ~ScreenDc() {
        if (dc)
            ReleaseDC(nullptr, dc);
    }
};
struct MemDc {
    HDC dc;
    explicit MemDc(HDC like) : dc(CreateCompatibleDC(like)) {}
    ~MemDc() {
        if (dc)
            DeleteDC(dc);
    }
};
struct Bitmap {
    HBITMAP bm;
    ~Bitmap() {
        if (bm)
            DeleteObject(bm);
    }
};

} // namespace

bool SaveScreenshot(const std::string& pngPath, HWND window) {
    RECT r{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    if (window) {
        RECT w;
        if (!GetWindowRect(window, &w) || !IntersectRect(&r, &r, &w))
            return false;
    }
    int width = r.right - r.left, height = r.bottom - r.top;
    if (width <= 0 || height <= 0)
        return false;

    ScreenDc screen;
    if (!screen.dc)
        return false;
    MemDc mem(screen.dc);
    Bitmap bmp{CreateCompatibleBitmap(screen.dc, width, height)};
    if (!mem.dc || !bmp.bm)
        return false;
    HGDIOBJ old = SelectObject(mem.dc, bmp.bm);
    BOOL copied = BitBlt(mem.dc, 0, 0, width, height, screen.dc, r.left, r.top, SRCCOPY);
    SelectObject(mem.dc, old);
    if (!copied)
        return false;

    GdiplusSession gdi;
    if (!gdi.ok())
        return false;
    auto clsid = PngEncoder();
    if (!clsid)
        return false;
    Gdiplus::GpBitmap* image = nullptr;
    if (Gdiplus::DllExports::GdipCreateBitmapFromHBITMAP(bmp.bm, nullptr, &image) != Gdiplus::Ok)
        return false;
    std::wstring path = ToWide(pngPath);
    bool saved = Gdiplus::DllExports::GdipSaveImageToFile(image, path.c_str(), &*clsid, nullptr) ==
                 Gdiplus::Ok;
    Gdiplus::DllExports::GdipDisposeImage(image);
    return saved;
}

std::string ScreenshotPath(std::string_view name) {
    std::string dir = WinePath(TW_SCREENSHOT_DIR);
    CreateDirectoryA(dir.c_str(), nullptr);
    return dir + "\\" + std::string(name) + ".png";
}

} // namespace tw::gui
