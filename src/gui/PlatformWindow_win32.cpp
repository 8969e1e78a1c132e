// The frame's window on Windows: a child window of the host's window, of a
// class this module registers for itself. WM_PAINT copies the offscreen
// pixels; the mouse is captured while a control tracks it. The only state
// beyond the windows is the class registration, undone with the last window.
#include <windows.h>
#include <windowsx.h>

#include <vector>

#include "gui/CDrawContext.h"
#include "gui/PlatformWindow.h"

namespace {

const wchar_t kClassName[] = L"OrvelFrameWindow";

HINSTANCE thisModule() {
    HMODULE module = nullptr;
    GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                       reinterpret_cast<LPCWSTR>(&thisModule), &module);
    return module;
}

CButtonState modifiers(WPARAM wParam) {
    CButtonState b = 0;
    if (wParam & MK_SHIFT) b |= kShift;
    if (wParam & MK_CONTROL) b |= kControl;
    if (GetKeyState(VK_MENU) < 0) b |= kAlt;
    if (GetKeyState(VK_LWIN) < 0 || GetKeyState(VK_RWIN) < 0) b |= kApple;
    return b;
}

CButtonState buttons(WPARAM wParam) {
    CButtonState b = modifiers(wParam);
    if (wParam & MK_LBUTTON) b |= kLButton;
    if (wParam & MK_MBUTTON) b |= kMButton;
    if (wParam & MK_RBUTTON) b |= kRButton;
    return b;
}

class Win32Window : public PlatformWindow {
public:
    Win32Window(HWND parent, const CRect& size, PlatformWindowEvents& events) : events_(events) {
        module_ = thisModule();
        WNDCLASSEXW wc{};
        wc.cbSize = sizeof wc;
        wc.lpfnWndProc = &Win32Window::windowProc;
        wc.hInstance = module_;
        wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
        wc.lpszClassName = kClassName;
        RegisterClassExW(&wc); // fails harmlessly when another frame registered it
        hwnd_ = CreateWindowExW(0, kClassName, L"", WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN, size.left, size.top,
                                size.width(), size.height(), parent, nullptr, module_, this);
    }

    ~Win32Window() override {
        if (hwnd_) {
            SetWindowLongPtrW(hwnd_, GWLP_USERDATA, 0);
            DestroyWindow(hwnd_);
        }
        UnregisterClassW(kClassName, module_); // refused while other frames' windows exist
    }

    bool isValid() const override { return hwnd_ != nullptr; }
    void* nativeHandle() const override { return hwnd_; }
    bool hasFocus() const override { return GetFocus() == hwnd_; }
    void takeFocus() override { SetFocus(hwnd_); }
    void setMouseCapture(bool on) override {
        if (on)
            SetCapture(hwnd_);
        else if (GetCapture() == hwnd_)
            ReleaseCapture();
    }
    uint32_t doubleClickTime() const override { return GetDoubleClickTime(); }

    void present(const CDrawContext& offscreen, const CRect& area) override {
        if (area.isEmpty()) return;
        HDC dc = paintDc_ ? paintDc_ : GetDC(hwnd_);
        if (!dc) return;
        // The area as its own top-down image, so the source origin is plain.
        std::vector<uint32_t> rows(size_t(area.width()) * size_t(area.height()));
        for (CCoord y = 0; y < area.height(); ++y) {
            const uint32_t* src = offscreen.pixels() + (area.top + y) * offscreen.stride() + area.left;
            std::copy(src, src + area.width(), rows.begin() + long(y) * area.width());
        }
        BITMAPINFO info{};
        info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
        info.bmiHeader.biWidth = area.width();
        info.bmiHeader.biHeight = -area.height();
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 32;
        info.bmiHeader.biCompression = BI_RGB;
        SetDIBitsToDevice(dc, area.left, area.top, DWORD(area.width()), DWORD(area.height()), 0, 0, 0,
                          UINT(area.height()), rows.data(), &info, DIB_RGB_COLORS);
        if (!paintDc_) ReleaseDC(hwnd_, dc);
    }

private:
    static LRESULT CALLBACK windowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
        if (message == WM_NCCREATE) {
            auto* create = reinterpret_cast<CREATESTRUCTW*>(lParam);
            SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
        }
        auto* self = reinterpret_cast<Win32Window*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
        if (self) {
            try {
                if (self->handle(message, wParam, lParam)) return 0;
            } catch (...) {
                // nothing may leave a window procedure
            }
        }
        return DefWindowProcW(hwnd, message, wParam, lParam);
    }

    bool handle(UINT message, WPARAM wParam, LPARAM lParam) {
        CPoint p(GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam));
        uint32_t time = uint32_t(GetMessageTime());
        switch (message) {
        case WM_PAINT: {
            PAINTSTRUCT ps;
            paintDc_ = BeginPaint(hwnd_, &ps);
            events_.platformPaint(CRect(ps.rcPaint.left, ps.rcPaint.top, ps.rcPaint.right, ps.rcPaint.bottom));
            EndPaint(hwnd_, &ps);
            paintDc_ = nullptr;
            return true;
        }
        case WM_ERASEBKGND: return true;
        case WM_LBUTTONDOWN: events_.platformMouseDown(p, kLButton | modifiers(wParam), time); return true;
        case WM_MBUTTONDOWN: events_.platformMouseDown(p, kMButton | modifiers(wParam), time); return true;
        case WM_RBUTTONDOWN: events_.platformMouseDown(p, kRButton | modifiers(wParam), time); return true;
        case WM_LBUTTONUP: events_.platformMouseUp(p, kLButton | modifiers(wParam)); return true;
        case WM_MBUTTONUP: events_.platformMouseUp(p, kMButton | modifiers(wParam)); return true;
        case WM_RBUTTONUP: events_.platformMouseUp(p, kRButton | modifiers(wParam)); return true;
        case WM_MOUSEMOVE: events_.platformMouseMoved(p, buttons(wParam)); return true;
        case WM_MOUSEWHEEL: {
            POINT screen{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
            ScreenToClient(hwnd_, &screen);
            float notches = float(GET_WHEEL_DELTA_WPARAM(wParam)) / float(WHEEL_DELTA);
            events_.platformWheel(CPoint(screen.x, screen.y), notches, buttons(GET_KEYSTATE_WPARAM(wParam)));
            return true;
        }
        default: return false;
        }
    }

    PlatformWindowEvents& events_;
    HINSTANCE module_ = nullptr;
    HWND hwnd_ = nullptr;
    HDC paintDc_ = nullptr;
};

} // namespace

std::unique_ptr<PlatformWindow> createNativeWindow(void* parent, const CRect& size, PlatformWindowEvents& events) {
    auto w = std::make_unique<Win32Window>(static_cast<HWND>(parent), size, events);
    if (!w->isValid()) return nullptr;
    return w;
}
