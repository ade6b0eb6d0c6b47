#include "platform/win32/config_dialog.h"

#include <windows.h>
#include <commctrl.h>
#include <shellapi.h>

#include <string>
#include <vector>

#include "platform/win32/win32_platform.h"

namespace ravelin {
namespace {

constexpr int kConfigTemplate = 101;
constexpr int kAboutTemplate = 105;
constexpr int kFirstAboutLine = 1072;

// Every control of template 101 whose text, mark or enabled state comes from the model.
constexpr int kModelControls[] = {
    kIdVideoGroup, kIdUseDesktop,  kIdVSync,          kIdOptionsGroup, kIdShowFps, kIdMouseExit,
    kIdShowClock,  kIdRadio12,     kIdRadio24,        kIdGammaGroup,   kIdBrightnessLabel, kIdDefGamma,
    kIdSoundGroup, kIdVolumeLabel, kIdEnableMusic,    kIdEnableSfx,    kIdProductsGroup, kIdWebText,
    kIdVisit,      kIdAbout,       kIdRestoreDefaults, kIdOk,          kIdCancel};

bool isMarked(int id) {
    switch (id) {
    case kIdUseDesktop: case kIdVSync: case kIdShowFps: case kIdMouseExit: case kIdShowClock:
    case kIdRadio12: case kIdRadio24: case kIdDefGamma: case kIdEnableMusic: case kIdEnableSfx:
        return true;
    default:
        return false;
    }
}

HINSTANCE instanceOf(uintptr_t module) {
    return module ? reinterpret_cast<HINSTANCE>(module) : GetModuleHandleW(nullptr);
}

// A stale number on the command line must not keep the dialog from opening.
HWND ownerWindow(WindowHandle owner) {
    HWND window = reinterpret_cast<HWND>(owner);
    return owner && IsWindow(window) ? window : nullptr;
}

void setText(HWND window, const std::string& text) { SetWindowTextW(window, utf8ToWide(text).c_str()); }

// Runs a template modally; the view's procedure gets the view with WM_INITDIALOG and finds it
// again through viewOf. 1 after OK, 2 after anything else, also when no dialog could be made.
template <class View>
int runModal(HINSTANCE instance, int templateId, HWND owner, View* view) {
    INT_PTR result = DialogBoxParamW(instance, MAKEINTRESOURCEW(templateId), owner, &View::procedure,
                                     reinterpret_cast<LPARAM>(view));
    return result == kIdOk ? kIdOk : kIdCancel;
}

template <class View>
View* viewOf(HWND dialog, UINT message, LPARAM lParam) {
    if (message == WM_INITDIALOG) SetWindowLongPtrW(dialog, DWLP_USER, lParam);
    return reinterpret_cast<View*>(message == WM_INITDIALOG ? lParam : GetWindowLongPtrW(dialog, DWLP_USER));
}

void registerTrackbars() {
    INITCOMMONCONTROLSEX classes{sizeof classes, ICC_BAR_CLASSES};
    InitCommonControlsEx(&classes);
}

class AboutView {
public:
    explicit AboutView(const DialogServices& services) : model_(services) {}

    int run(HWND owner, HINSTANCE instance) { return runModal(instance, kAboutTemplate, owner, this); }

    static INT_PTR CALLBACK procedure(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
        auto* view = viewOf<AboutView>(dialog, message, lParam);
        if (!view) return FALSE;
        if (message == WM_INITDIALOG) {
            view->model_.initialise();
            setText(dialog, view->model_.caption());
            for (size_t i = 0; i < view->model_.lines().size(); ++i)
                setText(GetDlgItem(dialog, kFirstAboutLine + int(i)), view->model_.lines()[i]);
            return TRUE;
        }
        if (message != WM_COMMAND) return FALSE;
        if (view->model_.command(LOWORD(wParam)) != DialogAction::Close) return FALSE;
        EndDialog(dialog, view->model_.closeResult());
        return TRUE;
    }

private:
    AboutDialogModel model_;
};

class ConfigView {
public:
    ConfigView(ConfigDialogModel& model, HINSTANCE instance) : model_(model), instance_(instance) {}

    int run(HWND owner) {
        registerTrackbars();
        return runModal(instance_, kConfigTemplate, owner, this);
    }

    static INT_PTR CALLBACK procedure(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
        auto* view = viewOf<ConfigView>(dialog, message, lParam);
        if (!view) return FALSE;
        switch (message) {
        case WM_INITDIALOG:
            view->dialog_ = dialog;
            view->model_.initialise();
            view->sync();
            return TRUE;  // the system gives the focus to the first control that takes it
        case WM_COMMAND:
            return view->command(LOWORD(wParam), HIWORD(wParam));
        case WM_HSCROLL:
            view->slider(LOWORD(wParam));
            return TRUE;
        default:
            return FALSE;
        }
    }

private:
    HWND item(int id) const { return GetDlgItem(dialog_, id); }

    BOOL command(int id, int notification) {
        if (id == kIdModeList) {
            // The user's pick; the record learns it at OK.
            if (notification == CBN_SELCHANGE) model_.chooseMode(int(SendMessageW(item(kIdModeList), CB_GETCURSEL, 0, 0)));
            return FALSE;
        }
        if (id == kIdRadio12 || id == kIdRadio24) {
            // The automatic radio has checked itself and cleared its partner; the record reads
            // the pair at OK.
            model_.chooseTimeStyle(IsDlgButtonChecked(dialog_, kIdRadio12) == BST_CHECKED);
            return FALSE;
        }
        return act(model_.command(id));
    }

    void slider(int code) {
        // Whatever moved, both thumbs are where the user left them; the model decides whether
        // this notification carries them into the record.
        for (int id : {kIdVolumeSlider, kIdGammaSlider})
            model_.moveSlider(id, int(SendMessageW(item(id), TBM_GETPOS, 0, 0)));
        model_.sliderNotification(static_cast<SliderCode>(code));
        sync();
    }

    BOOL act(DialogAction action) {
        switch (action) {
        case DialogAction::Handled:
            sync();
            return TRUE;
        case DialogAction::SaveFailed:
            // Nothing was kept: say why over the dialog and leave it open, the choices still in it.
            MessageBoxW(dialog_, utf8ToWide(model_.control(kIdSaveFailure).text).c_str(),
                        utf8ToWide(model_.caption()).c_str(), MB_OK | MB_ICONWARNING);
            sync();
            return TRUE;
        case DialogAction::Close:
            EndDialog(dialog_, model_.closeResult());
            return TRUE;
        case DialogAction::OpenWebPage:
            // No browser, no network: nothing to tell the user that the system has not told.
            if (!model_.webAddress().empty())
                ShellExecuteW(dialog_, L"open", utf8ToWide(model_.webAddress()).c_str(), nullptr, nullptr,
                              SW_SHOWNORMAL);
            return TRUE;
        case DialogAction::OpenAbout:
            AboutView(model_.services()).run(dialog_, instance_);
            return TRUE;
        case DialogAction::NotHandled:
            break;
        }
        return FALSE;
    }

    // Every control from the model.
    void sync() {
        setText(dialog_, model_.caption());
        for (int id : kModelControls) {
            const ControlState& state = model_.control(id);
            HWND control = item(id);
            if (!control) continue;
            setText(control, state.text);
            EnableWindow(control, state.enabled);
            if (isMarked(id)) SendMessageW(control, BM_SETCHECK, state.checked ? BST_CHECKED : BST_UNCHECKED, 0);
        }

        const ModeListState& list = model_.modeList();
        HWND combo = item(kIdModeList);
        if (list.entries != shownModes_) {
            SendMessageW(combo, CB_RESETCONTENT, 0, 0);
            for (const std::string& entry : list.entries)
                SendMessageW(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(utf8ToWide(entry).c_str()));
            shownModes_ = list.entries;
        }
        SendMessageW(combo, CB_SETCURSEL, WPARAM(list.selected), 0);
        EnableWindow(combo, list.enabled);

        for (int id : {kIdVolumeSlider, kIdGammaSlider}) {
            const SliderState& state = model_.slider(id);
            HWND bar = item(id);
            SendMessageW(bar, TBM_SETRANGE, FALSE, MAKELPARAM(state.minimum, state.maximum));
            SendMessageW(bar, TBM_SETPAGESIZE, 0, state.pageSize);
            SendMessageW(bar, TBM_SETPOS, TRUE, state.position);
            EnableWindow(bar, state.enabled);
        }
    }

    ConfigDialogModel& model_;
    HINSTANCE instance_;
    HWND dialog_ = nullptr;
    std::vector<std::string> shownModes_;
};

}  // namespace

int runConfigDialog(WindowHandle owner, ScreensaverSettings& live, const ScreensaverSettings& defaults,
                    DialogServices services, uintptr_t module) {
    ConfigDialogModel model(live, defaults, std::move(services));
    return ConfigView(model, instanceOf(module)).run(ownerWindow(owner));
}

int runConfigDialog(WindowHandle owner) {
    return runConfigDialog(owner, liveSettings(), defaultSettings(), standardDialogServices());
}

int runAboutDialog(WindowHandle owner, const DialogServices& services, uintptr_t module) {
    return AboutView(services).run(ownerWindow(owner), instanceOf(module));
}

}  // namespace ravelin
