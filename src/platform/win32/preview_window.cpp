#include "platform/win32/preview_window.h"

#include "platform/platform.h"

namespace ravelin {
namespace {

constexpr wchar_t kPreviewClass[] = L"SSPreview";
constexpr WORD kPreviewBitmap = 112;
constexpr WORD kApplicationIcon = 32512;
constexpr UINT_PTR kParentWatch = 1;
constexpr UINT kParentWatchMs = 500;

// Loaded on the window's creation and kept for the process's life, as the window only ever
// shows this one picture.
HBITMAP gPicture = nullptr;

void paint(HWND window) {
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(window, &ps);
    RECT client;
    GetClientRect(window, &client);
    BITMAP info{};
    if (gPicture && GetObjectW(gPicture, sizeof info, &info)) {
        HDC memory = CreateCompatibleDC(dc);
        HGDIOBJ previous = SelectObject(memory, gPicture);
        // The settings page's little screen is rarely the picture's own size: scale to it.
        SetStretchBltMode(dc, HALFTONE);
        SetBrushOrgEx(dc, 0, 0, nullptr);
        StretchBlt(dc, 0, 0, client.right, client.bottom, memory, 0, 0, info.bmWidth, info.bmHeight, SRCCOPY);
        SelectObject(memory, previous);
        DeleteDC(memory);
    }
    EndPaint(window, &ps);
}

LRESULT CALLBACK previewProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_CREATE:
        if (!gPicture) gPicture = LoadBitmapW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(kPreviewBitmap));
        // A host that dies without destroying its window would leave this process waiting for
        // ever: the parent is looked at twice a second.
        SetTimer(window, kParentWatch, kParentWatchMs, nullptr);
        return 0;
    case WM_TIMER:
        if (wParam == kParentWatch && !IsWindow(GetParent(window))) PostQuitMessage(0);
        return 0;
    case WM_PAINT:
        paint(window);
        return 0;
    case WM_DESTROY:
    case WM_CLOSE:
        PostQuitMessage(0);
        return 0;
    default:
        return DefWindowProcW(window, message, wParam, lParam);
    }
}

}  // namespace

int runPreview(HINSTANCE instance, HWND parent, int showCommand) {
    WNDCLASSW wc{};
    wc.style = CS_HREDRAW | CS_VREDRAW;
    wc.lpfnWndProc = previewProcedure;
    wc.hInstance = instance;
    wc.hIcon = LoadIconW(instance, MAKEINTRESOURCEW(kApplicationIcon));
    wc.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
    wc.hbrBackground = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
    wc.lpszClassName = kPreviewClass;
    RegisterClassW(&wc);

    RECT r{};
    GetClientRect(parent, &r);
    AdjustWindowRect(&r, WS_CHILD | WS_VISIBLE, FALSE);
    // A number that is not a window (or none at all) must not make a window elsewhere.
    HWND child = IsWindow(parent) ? CreateWindowExW(0, kPreviewClass, L"PreviewWindow", WS_CHILD | WS_VISIBLE, r.left,
                                                    r.top, r.right - r.left, r.bottom - r.top, parent, nullptr,
                                                    instance, nullptr)
                                  : nullptr;
    if (!child) {
        platform().messageBox("Cannot creat window!", "ERROR", TextEncoding::Cp1251);
        return 0;
    }
    ShowWindow(child, showCommand);

    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    return 1;
}

}  // namespace ravelin
