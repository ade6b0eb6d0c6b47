// The configuration and about dialogs of the built screensaver, driven from outside as a user
// would drive them: `ravelin.scr /c` is started, its dialog found by its caption, and the test
// sends the messages that clicks, slider drags and keys send. What OK saved is then read from the
// registry by this process. Needs a display (Wine draws through X). Screenshots of both dialogs
// go to RAVELIN_SCREENSHOT_DIR when it is set.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <string>
#include <vector>

#include "dialog_texts.h"
#include "platform/win32/win32_platform.h"
#include "settings/dialog_model.h"
#include "windows_test_support.h"

namespace ravelin {
namespace {

const std::wstring kKey = L"Software\\BRIMLOW Studio\\Ravelin";
constexpr DWORD kPatienceMs = 60000;  // Wine starting a GUI program on a loaded machine

std::wstring wide(const std::string& text) { return utf8ToWide(text); }

// Handles what other processes send to this one's windows (an owner being disabled, for one)
// while the test waits.
void pumpMessages() {
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
}

void pause(DWORD ms) {
    DWORD start = GetTickCount();
    while (GetTickCount() - start < ms) {
        pumpMessages();
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_ALLINPUT);
    }
}

std::wstring windowText(HWND window) {
    wchar_t buffer[512] = {};
    GetWindowTextW(window, buffer, 512);
    return buffer;
}

std::wstring className(HWND window) {
    wchar_t buffer[128] = {};
    GetClassNameW(window, buffer, 128);
    return buffer;
}

// The screensaver started with one switch.
class Screensaver {
public:
    explicit Screensaver(const std::wstring& arguments) {
        std::wstring path = wide(RAVELIN_SCR);
        std::wstring line = L"\"" + path + L"\" " + arguments;
        STARTUPINFOW startup{};
        startup.cb = sizeof startup;
        started_ = CreateProcessW(path.c_str(), line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                                  &process_);
    }
    ~Screensaver() {
        if (!started_) return;
        if (WaitForSingleObject(process_.hProcess, 0) == WAIT_TIMEOUT) TerminateProcess(process_.hProcess, 99);
        CloseHandle(process_.hProcess);
        CloseHandle(process_.hThread);
    }

    bool started() const { return started_; }

    // A visible dialog of this process with the caption, owned by `owner` when one is given.
    HWND findDialog(const std::wstring& caption, HWND owner = nullptr) {
        DWORD start = GetTickCount();
        while (GetTickCount() - start < kPatienceMs) {
            struct Search {
                DWORD process;
                const std::wstring* caption;
                HWND owner;
                HWND found;
            } search{process_.dwProcessId, &caption, owner, nullptr};
            EnumWindows(
                [](HWND window, LPARAM data) -> BOOL {
                    auto* s = reinterpret_cast<Search*>(data);
                    DWORD process = 0;
                    GetWindowThreadProcessId(window, &process);
                    if (process != s->process || !IsWindowVisible(window) || className(window) != L"#32770") return TRUE;
                    if (windowText(window) != *s->caption) return TRUE;
                    if (s->owner && GetWindow(window, GW_OWNER) != s->owner) return TRUE;
                    s->found = window;
                    return FALSE;
                },
                reinterpret_cast<LPARAM>(&search));
            if (search.found) return search.found;
            if (WaitForSingleObject(process_.hProcess, 0) == WAIT_OBJECT_0) return nullptr;  // it ended instead
            pause(50);
        }
        return nullptr;
    }

    // The exit code once the process has ended; 259 (still active) when it did not in time.
    DWORD exitCode() {
        DWORD start = GetTickCount();
        while (GetTickCount() - start < kPatienceMs && WaitForSingleObject(process_.hProcess, 0) == WAIT_TIMEOUT)
            pause(50);
        DWORD code = STILL_ACTIVE;
        GetExitCodeProcess(process_.hProcess, &code);
        return code;
    }

    DWORD threadId() const { return process_.dwThreadId; }

private:
    PROCESS_INFORMATION process_{};
    bool started_ = false;
};

// What a user's actions send.
void click(HWND dialog, int id) { SendMessageW(GetDlgItem(dialog, id), BM_CLICK, 0, 0); }

// A button whose handler runs a nested modal dialog: posted, so this test is not blocked inside it.
void clickLater(HWND dialog, int id) {
    PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(dialog, id)));
}

void chooseListEntry(HWND dialog, int index) {
    HWND list = GetDlgItem(dialog, kIdModeList);
    SendMessageW(list, CB_SETCURSEL, WPARAM(index), 0);
    SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(kIdModeList, CBN_SELCHANGE), reinterpret_cast<LPARAM>(list));
}

void moveSlider(HWND dialog, int id, int position, int code) {
    HWND bar = GetDlgItem(dialog, id);
    SendMessageW(bar, TBM_SETPOS, TRUE, position);
    SendMessageW(dialog, WM_HSCROLL, MAKEWPARAM(code, position), reinterpret_cast<LPARAM>(bar));
}

// A key pressed while the dialog has the keyboard: it goes to the focused control, and the
// dialog's message loop gives Enter and Esc their meaning.
void pressKey(const Screensaver& saver, HWND dialog, WPARAM key) {
    GUITHREADINFO info{};
    info.cbSize = sizeof info;
    HWND target = GetGUIThreadInfo(saver.threadId(), &info) && info.hwndFocus ? info.hwndFocus : dialog;
    PostMessageW(target, WM_KEYDOWN, key, 1);
    PostMessageW(target, WM_KEYUP, key, 0xC0000001);
}

std::wstring itemText(HWND dialog, int id) { return windowText(GetDlgItem(dialog, id)); }
bool itemEnabled(HWND dialog, int id) { return IsWindowEnabled(GetDlgItem(dialog, id)); }
bool itemChecked(HWND dialog, int id) { return SendMessageW(GetDlgItem(dialog, id), BM_GETCHECK, 0, 0) == BST_CHECKED; }

std::vector<std::wstring> listEntries(HWND dialog) {
    HWND list = GetDlgItem(dialog, kIdModeList);
    std::vector<std::wstring> entries;
    LRESULT count = SendMessageW(list, CB_GETCOUNT, 0, 0);
    for (LRESULT i = 0; i < count; ++i) {
        wchar_t buffer[64] = {};
        if (SendMessageW(list, CB_GETLBTEXTLEN, WPARAM(i), 0) < 64) SendMessageW(list, CB_GETLBTEXT, WPARAM(i), LPARAM(buffer));
        entries.push_back(buffer);
    }
    return entries;
}

int listSelection(HWND dialog) { return int(SendMessageW(GetDlgItem(dialog, kIdModeList), CB_GETCURSEL, 0, 0)); }

// The picture of a window as the screen shows it, as a 24-bit .bmp in RAVELIN_SCREENSHOT_DIR.
void screenshot(HWND window, const char* name) {
    const char* folder = std::getenv("RAVELIN_SCREENSHOT_DIR");
    if (!folder || !*folder) return;
    RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
    pause(500);  // the pictures only: nothing is asserted on them
    RECT r{};
    GetWindowRect(window, &r);
    int width = r.right - r.left, height = r.bottom - r.top;
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, width, height);
    HGDIOBJ old = SelectObject(memory, bitmap);
    BitBlt(memory, 0, 0, width, height, screen, r.left, r.top, SRCCOPY);
    SelectObject(memory, old);
    BITMAPINFOHEADER header{};
    header.biSize = sizeof header;
    header.biWidth = width;
    header.biHeight = height;
    header.biPlanes = 1;
    header.biBitCount = 24;
    int stride = (width * 3 + 3) & ~3;
    std::vector<char> pixels(size_t(stride) * height);
    GetDIBits(memory, bitmap, 0, UINT(height), pixels.data(), reinterpret_cast<BITMAPINFO*>(&header), DIB_RGB_COLORS);
    DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    BITMAPFILEHEADER file{0x4D42, DWORD(sizeof(BITMAPFILEHEADER) + sizeof header + pixels.size()), 0, 0,
                          DWORD(sizeof(BITMAPFILEHEADER) + sizeof header)};
    std::string path = std::string(folder) + "/" + name + ".bmp";
    if (FILE* out = std::fopen(path.c_str(), "wb")) {
        std::fwrite(&file, sizeof file, 1, out);
        std::fwrite(&header, sizeof header, 1, out);
        std::fwrite(pixels.data(), 1, pixels.size(), out);
        std::fclose(out);
    }
}

std::map<std::wstring, DWORD> storedValues() {
    std::map<std::wstring, DWORD> values;
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, kKey.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) return values;
    for (DWORD i = 0;; ++i) {
        wchar_t name[64];
        DWORD nameLength = 64, type = 0, value = 0, size = sizeof value;
        if (RegEnumValueW(key, i, name, &nameLength, nullptr, &type, reinterpret_cast<BYTE*>(&value), &size) != ERROR_SUCCESS)
            break;
        values[name] = type == REG_DWORD ? value : 0xDEADBEEF;
    }
    RegCloseKey(key);
    return values;
}

void store(const std::map<std::wstring, DWORD>& values) {
    for (const auto& [name, value] : values) writeDword(kKey, name.c_str(), value);
}

DisplayMode desktopMode() {
    DEVMODEW mode{};
    mode.dmSize = sizeof mode;
    EnumDisplaySettingsW(nullptr, ENUM_CURRENT_SETTINGS, &mode);
    return {int(mode.dmPelsWidth), int(mode.dmPelsHeight), int(mode.dmBitsPerPel)};
}

std::wstring caption() { return wide(testText("screensaver_configuration")); }

std::wstring percentLabel(const char* key, int percent) {
    return wide(testText(key)) + L" (" + std::to_wstring(percent) + L"%)";
}

class ConfigDialog : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        // Without a window manager (Xvfb) nothing would draw the caption and frame: Wine draws
        // them itself for the screensaver, so screenshots show the whole dialog.
        writeValue(L"Software\\Wine\\AppDefaults\\ravelin.scr\\X11 Driver", L"Decorated", REG_SZ, L"N", 4);
    }
    void SetUp() override { deleteKey(kKey); }
    void TearDown() override { deleteKey(kKey); }
};

TEST_F(ConfigDialog, OkStoresExactlyWhatWasChosen) {
    Screensaver saver(L"/c");
    ASSERT_TRUE(saver.started());
    HWND dialog = saver.findDialog(caption());
    ASSERT_TRUE(dialog) << "no configuration dialog";

    // A first run: the key exists, empty, and the dialog shows the built-in defaults.
    EXPECT_TRUE(keyExists(kKey));
    EXPECT_TRUE(storedValues().empty());
    EXPECT_EQ(itemText(dialog, kIdVolumeLabel), percentLabel("master_volume:", 75));
    EXPECT_EQ(itemText(dialog, kIdBrightnessLabel), percentLabel("brightness", 100));
    EXPECT_FALSE(itemEnabled(dialog, kIdBrightnessLabel));
    EXPECT_FALSE(itemEnabled(dialog, kIdModeList));
    EXPECT_TRUE(itemChecked(dialog, kIdRadio12));
    EXPECT_EQ(itemText(dialog, kIdAbout), wide(testText("about")) + L"...");
    const DisplayMode desktop = desktopMode();
    const std::vector<std::wstring> modes = listEntries(dialog);
    ASSERT_FALSE(modes.empty());
    ASSERT_GE(listSelection(dialog), 0) << [&] { std::string all; for (auto& m : modes) all += std::string(m.begin(), m.end()) + "; "; return all + " desktop " + modeText(desktop.width, desktop.height, desktop.bitsPerPixel); }();
    EXPECT_EQ(modes[size_t(listSelection(dialog))], wide(modeText(desktop.width, desktop.height, desktop.bitsPerPixel)));
    screenshot(dialog, "config-dialog-defaults");

    // A mode other than the desktop's where the display has one.
    const int desktopEntry = listSelection(dialog);
    click(dialog, kIdUseDesktop);
    EXPECT_TRUE(itemEnabled(dialog, kIdModeList));
    EXPECT_EQ(listSelection(dialog), desktopEntry);
    const int chosen = desktopEntry == 0 && modes.size() > 1 ? 1 : 0;
    chooseListEntry(dialog, chosen);
    click(dialog, kIdShowFps);
    click(dialog, kIdMouseExit);
    click(dialog, kIdVSync);
    click(dialog, kIdRadio24);
    click(dialog, kIdShowClock);  // off: the radios grey but keep their state
    EXPECT_FALSE(itemEnabled(dialog, kIdRadio24));
    EXPECT_TRUE(itemChecked(dialog, kIdRadio24));
    click(dialog, kIdEnableMusic);
    EXPECT_TRUE(itemEnabled(dialog, kIdVolumeSlider));  // engine sounds are still on
    click(dialog, kIdDefGamma);
    EXPECT_TRUE(itemEnabled(dialog, kIdGammaSlider));
    moveSlider(dialog, kIdGammaSlider, 70, TB_THUMBTRACK);
    EXPECT_EQ(itemText(dialog, kIdBrightnessLabel), percentLabel("brightness", 120));
    moveSlider(dialog, kIdVolumeSlider, 40, TB_PAGEDOWN);
    EXPECT_EQ(itemText(dialog, kIdVolumeLabel), percentLabel("master_volume:", 40));
    // An arrow key's line step moves the thumb but not the record.
    moveSlider(dialog, kIdVolumeSlider, 41, TB_LINEDOWN);
    EXPECT_EQ(itemText(dialog, kIdVolumeLabel), percentLabel("master_volume:", 40));
    screenshot(dialog, "config-dialog-changed");

    click(dialog, kIdOk);
    EXPECT_EQ(saver.exitCode(), 0u);
    int width = 0, height = 0, bits = 0;
    ASSERT_TRUE(parseModeText(std::string(modes[size_t(chosen)].begin(), modes[size_t(chosen)].end()), width, height, bits));
    const std::map<std::wstring, DWORD> expected = {
        {L"EnableMusic", 0}, {L"EnableSFX", 1},  {L"ShowClock", 0}, {L"ShowFlame", 0},     {L"ShowFPS", 1},
        {L"VSync", 1},       {L"UseDesktop", 0}, {L"MouseExit", 1}, {L"DefGamma", 0},      {L"Random", 0},
        {L"TimeFormat", 0},  {L"English", 0},    {L"Detail", 0},    {L"Volume", 40},       {L"Gamma", 70},
        {L"Width", DWORD(width)}, {L"Height", DWORD(height)}, {L"Depth", DWORD(bits)}};
    EXPECT_EQ(storedValues(), expected);
}

TEST_F(ConfigDialog, CancelAfterChangesWritesNothing) {
    const std::map<std::wstring, DWORD> before = {{L"Volume", 20}, {L"MouseExit", 1}, {L"Width", 12345}};
    store(before);
    Screensaver saver(L"/c");
    HWND dialog = saver.findDialog(caption());
    ASSERT_TRUE(dialog);
    EXPECT_EQ(itemText(dialog, kIdVolumeLabel), percentLabel("master_volume:", 20));
    EXPECT_TRUE(itemChecked(dialog, kIdMouseExit));
    click(dialog, kIdMouseExit);
    click(dialog, kIdEnableSfx);
    moveSlider(dialog, kIdVolumeSlider, 90, TB_THUMBTRACK);
    click(dialog, kIdRestoreDefaults);
    click(dialog, kIdCancel);
    EXPECT_EQ(saver.exitCode(), 0u);
    EXPECT_EQ(storedValues(), before);
}

TEST_F(ConfigDialog, RestoreDefaultsThenEnterWritesTheDefaults) {
    store({{L"UseDesktop", 0}, {L"Width", 640}, {L"Height", 480}, {L"Depth", 16}, {L"Volume", 10},
           {L"DefGamma", 0}, {L"Gamma", 90}, {L"ShowClock", 0}, {L"TimeFormat", 0}, {L"EnableMusic", 0},
           {L"ShowFPS", 1}, {L"Detail", 5}, {L"Random", 1}});
    Screensaver saver(L"/c");
    HWND dialog = saver.findDialog(caption());
    ASSERT_TRUE(dialog);
    EXPECT_TRUE(itemEnabled(dialog, kIdModeList));
    EXPECT_EQ(itemText(dialog, kIdBrightnessLabel), percentLabel("brightness", 140));
    click(dialog, kIdRestoreDefaults);
    EXPECT_FALSE(itemEnabled(dialog, kIdModeList));
    EXPECT_EQ(itemText(dialog, kIdVolumeLabel), percentLabel("master_volume:", 75));
    EXPECT_EQ(itemText(dialog, kIdBrightnessLabel), percentLabel("brightness", 100));
    EXPECT_TRUE(itemChecked(dialog, kIdRadio12));
    // Enter with a check box focused presses the default button, OK (with a push button focused
    // it would press that one).
    SendMessageW(dialog, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(GetDlgItem(dialog, kIdVSync)), TRUE);
    EXPECT_EQ(LOWORD(SendMessageW(dialog, DM_GETDEFID, 0, 0)), kIdOk);
    pressKey(saver, dialog, VK_RETURN);
    EXPECT_EQ(saver.exitCode(), 0u);
    const DisplayMode desktop = desktopMode();
    // The defaults file's values; the four fields it does not name keep what was stored.
    const std::map<std::wstring, DWORD> expected = {
        {L"EnableMusic", 1}, {L"EnableSFX", 1},  {L"ShowClock", 1}, {L"ShowFlame", 0},     {L"ShowFPS", 0},
        {L"VSync", 0},       {L"UseDesktop", 1}, {L"MouseExit", 0}, {L"DefGamma", 1},      {L"Random", 1},
        {L"TimeFormat", 1},  {L"English", 0},    {L"Detail", 5},    {L"Volume", 75},       {L"Gamma", 50},
        {L"Width", DWORD(desktop.width)}, {L"Height", DWORD(desktop.height)}, {L"Depth", DWORD(desktop.bitsPerPixel)}};
    EXPECT_EQ(storedValues(), expected);
}

TEST_F(ConfigDialog, AboutBoxShowsItsLinesAndClosesWithEsc) {
    Screensaver saver(L"/c");
    HWND dialog = saver.findDialog(caption());
    ASSERT_TRUE(dialog);
    clickLater(dialog, kIdAbout);
    HWND about = saver.findDialog(wide(testText("about")), dialog);
    ASSERT_TRUE(about) << "no about box owned by the dialog";
    EXPECT_FALSE(itemText(about, 1072).empty());  // the product's name
    EXPECT_TRUE(itemText(about, 1073).empty());
    for (int id = 1074; id <= 1076; ++id) EXPECT_FALSE(itemText(about, id).empty()) << id;
    EXPECT_EQ(GetWindowLongW(GetDlgItem(about, 1072), GWL_STYLE) & SS_TYPEMASK, SS_CENTER);
    screenshot(about, "about-box");
    pressKey(saver, about, VK_ESCAPE);
    DWORD start = GetTickCount();
    while (IsWindow(about) && GetTickCount() - start < kPatienceMs) pause(50);
    EXPECT_FALSE(IsWindow(about));
    EXPECT_TRUE(IsWindowVisible(dialog));
    click(dialog, kIdCancel);
    EXPECT_EQ(saver.exitCode(), 0u);
    EXPECT_TRUE(storedValues().empty());
}

TEST_F(ConfigDialog, TheWindowOnTheCommandLineOwnsTheDialog) {
    HWND host = CreateWindowExW(0, L"STATIC", L"host", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 10, 10, 200, 100, nullptr,
                                nullptr, GetModuleHandleW(nullptr), nullptr);
    ASSERT_TRUE(host);
    {
        Screensaver saver(L"/c:" + std::to_wstring(reinterpret_cast<uintptr_t>(host)));
        HWND dialog = saver.findDialog(caption(), host);
        EXPECT_TRUE(dialog) << "no dialog owned by the host window";
        if (dialog) click(dialog, kIdCancel);
        EXPECT_EQ(saver.exitCode(), 0u);
    }
    DestroyWindow(host);
    // A number that names no window: the dialog opens all the same, without owner.
    Screensaver saver(L"/c 7");
    HWND dialog = saver.findDialog(caption());
    ASSERT_TRUE(dialog);
    EXPECT_EQ(GetWindow(dialog, GW_OWNER), nullptr);
    click(dialog, kIdCancel);
    EXPECT_EQ(saver.exitCode(), 0u);
}

// OK when the key cannot be written: a warning over the dialog says which key and why, the dialog
// stays open with the choices, and nothing is stored.
TEST_F(ConfigDialog, AFailedSaveIsReportedAndTheDialogStays) {
    // A vendor key kept only in memory cannot hold the settings key, which is kept on disk.
    const std::wstring vendor = L"Software\\BRIMLOW Studio";
    deleteKey(vendor);
    ASSERT_TRUE(createVolatileKey(vendor));
    Screensaver saver(L"/c");
    HWND dialog = saver.findDialog(caption());
    ASSERT_TRUE(dialog);
    click(dialog, kIdShowFps);
    clickLater(dialog, kIdOk);
    HWND warning = saver.findDialog(caption(), dialog);
    ASSERT_TRUE(warning) << "no warning owned by the dialog";
    std::wstring text;
    EnumChildWindows(
        warning,
        [](HWND child, LPARAM all) -> BOOL {
            *reinterpret_cast<std::wstring*>(all) += windowText(child) + L"\n";
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&text));
    EXPECT_NE(text.find(L"HKEY_CURRENT_USER\\Software\\BRIMLOW Studio\\Ravelin"), std::wstring::npos)
        << std::string(text.begin(), text.end());
    screenshot(warning, "save-failed");
    PostMessageW(warning, WM_COMMAND, IDOK, 0);
    DWORD start = GetTickCount();
    while (IsWindow(warning) && GetTickCount() - start < kPatienceMs) pause(50);
    EXPECT_TRUE(IsWindowVisible(dialog));
    EXPECT_TRUE(itemChecked(dialog, kIdShowFps));
    click(dialog, kIdCancel);
    EXPECT_EQ(saver.exitCode(), 0u);
    EXPECT_FALSE(keyExists(kKey));
    deleteKey(vendor);
}

// Every control the model speaks of is on the template, of the kind the model expects.
TEST_F(ConfigDialog, TheTemplateHasEveryControlOfTheModel) {
    Screensaver saver(L"/c");
    HWND dialog = saver.findDialog(caption());
    ASSERT_TRUE(dialog);
    const std::map<int, std::wstring> kinds = {
        {kIdModeList, L"ComboBox"}, {kIdVolumeSlider, L"msctls_trackbar32"}, {kIdGammaSlider, L"msctls_trackbar32"},
        {kIdVolumeLabel, L"Static"}, {kIdBrightnessLabel, L"Static"}, {kIdWebText, L"Static"}};
    for (int id : {kIdOk, kIdCancel, kIdUseDesktop, kIdEnableMusic, kIdShowClock, kIdEnableSfx, kIdRestoreDefaults,
                   kIdVisit, kIdAbout, kIdMouseExit, kIdShowFps, kIdVSync, kIdDefGamma, kIdRadio24, kIdRadio12,
                   kIdVideoGroup, kIdOptionsGroup, kIdGammaGroup, kIdSoundGroup, kIdProductsGroup, kIdModeList,
                   kIdVolumeSlider, kIdGammaSlider, kIdVolumeLabel, kIdBrightnessLabel, kIdWebText}) {
        HWND control = GetDlgItem(dialog, id);
        ASSERT_TRUE(control) << id;
        auto kind = kinds.find(id);
        EXPECT_EQ(className(control), kind == kinds.end() ? std::wstring(L"Button") : kind->second) << id;
    }
    // Laid out as the dialog font places it: no two controls overlap, and each lies wholly inside
    // or wholly outside every group box.
    struct Placed {
        HWND window;
        RECT rect;
        bool group;
    };
    std::vector<Placed> placed;
    EnumChildWindows(
        dialog,
        [](HWND child, LPARAM data) -> BOOL {
            Placed p{child, {}, (GetWindowLongW(child, GWL_STYLE) & BS_TYPEMASK) == BS_GROUPBOX &&
                                    className(child) == L"Button"};
            GetWindowRect(child, &p.rect);
            reinterpret_cast<std::vector<Placed>*>(data)->push_back(p);
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&placed));
    EXPECT_GE(placed.size(), 27u);  // the model's controls and the picture
    for (size_t i = 0; i < placed.size(); ++i) {
        for (size_t j = i + 1; j < placed.size(); ++j) {
            const Placed& a = placed[i];
            const Placed& b = placed[j];
            RECT common{};
            if (!IntersectRect(&common, &a.rect, &b.rect)) continue;
            bool nested = a.group != b.group && EqualRect(&common, a.group ? &b.rect : &a.rect);
            EXPECT_TRUE(nested) << GetDlgCtrlID(a.window) << " overlaps " << GetDlgCtrlID(b.window);
        }
    }
    EXPECT_EQ(GetWindowLongW(GetDlgItem(dialog, kIdModeList), GWL_STYLE) & 3, CBS_DROPDOWNLIST);
    EXPECT_EQ(GetWindowLongW(GetDlgItem(dialog, kIdOk), GWL_STYLE) & BS_TYPEMASK, BS_DEFPUSHBUTTON);
    EXPECT_EQ(itemText(dialog, kIdWebText), wide(testText("visit_our_official_web-site")));
    click(dialog, kIdCancel);
    EXPECT_EQ(saver.exitCode(), 0u);
}

}  // namespace
}  // namespace ravelin
