// The configuration and about dialogs without a toolkit: every control's text, check mark,
// enabled state and position, and every rule that changes them or the settings record.
// A toolkit view (src/platform/gtk) owns one model per open dialog, forwards user actions to it
// and redraws from it; the model edits the live record it was given in place.
#pragma once

#include <array>
#include <functional>
#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "platform/platform.h"
#include "settings/settings.h"

namespace ravelin {

// Control ids of the configuration dialog (the same ids a Windows template uses).
inline constexpr int kIdOk = 1;
inline constexpr int kIdCancel = 2;
inline constexpr int kIdModeList = 1000;
inline constexpr int kIdUseDesktop = 1001;
inline constexpr int kIdEnableMusic = 1003;
inline constexpr int kIdShowClock = 1004;
inline constexpr int kIdEnableSfx = 1005;
inline constexpr int kIdRestoreDefaults = 1006;
inline constexpr int kIdVisit = 1007;
inline constexpr int kIdAbout = 1008;
inline constexpr int kIdMouseExit = 1011;
inline constexpr int kIdVolumeLabel = 1017;
inline constexpr int kIdVolumeSlider = 1026;
inline constexpr int kIdShowFps = 1027;
inline constexpr int kIdVSync = 1028;
inline constexpr int kIdGammaSlider = 1029;
inline constexpr int kIdBrightnessLabel = 1030;
inline constexpr int kIdDefGamma = 1032;
inline constexpr int kIdWebText = 1035;
inline constexpr int kIdRadio24 = 1049;
inline constexpr int kIdRadio12 = 1054;
inline constexpr int kIdVideoGroup = 1057;
inline constexpr int kIdOptionsGroup = 1058;
inline constexpr int kIdGammaGroup = 1059;
inline constexpr int kIdSoundGroup = 1060;
inline constexpr int kIdProductsGroup = 1061;
// Not on the Windows template (which says it in a message box): the line that tells why OK
// could not save. Empty while there is nothing to tell.
inline constexpr int kIdSaveFailure = 1062;

// Slider notification codes, numbered as trackbars number them.
enum class SliderCode : int {
    LineUp = 0,
    LineDown = 1,
    PageUp = 2,
    PageDown = 3,
    ThumbPosition = 4,
    ThumbTrack = 5,
    Top = 6,
    Bottom = 7,
    EndTrack = 8,
};

// What the view has to do after a command.
enum class DialogAction {
    NotHandled,   // an id the dialog does not act on
    Handled,      // state changed; redraw from the model
    Close,        // close the dialog; closeResult() says with which id
    OpenWebPage,  // open webAddress() with the desktop's URL handler, ignoring failures
    OpenAbout,    // run the about dialog modally over this one
    SaveFailed,   // OK could not save: show control(kIdSaveFailure)'s text; the dialog stays open
};

struct ControlState {
    std::string text;  // UTF-8
    bool enabled = true;
    bool checked = false;  // check boxes and radio buttons
};

struct SliderState {
    int minimum = 0;
    int maximum = 100;
    int position = 0;
    int pageSize = 10;
    bool enabled = true;
};

struct ModeListState {
    std::vector<std::string> entries;  // in enumeration order, never sorted
    int selected = -1;                 // -1: nothing selected
    bool enabled = true;
};

// Where the dialogs get their texts, how OK saves and which page Visit... opens.
struct DialogServices {
    std::function<std::string(std::string_view key)> text;  // the UI text of a key, as UTF-8
    // Writes the live record to the store; false with the reason (where and why) when it could not.
    std::function<bool(std::string& failure)> save;
    std::string webAddress;
    std::array<std::string, 7> aboutLines;  // UTF-8
};

// The process-wide sources: the UI text table, saveSettings, the default settings file's web
// address and the about lines cut at start-up (all loaded by the start-up sequence first).
DialogServices standardDialogServices();

// "%d x %d %d bits": the list entry of a mode and the key it is found and read back by.
std::string modeText(int width, int height, int bitsPerPixel);
// The same format read back; false (nothing written) unless all three numbers are there.
bool parseModeText(std::string_view text, int& width, int& height, int& bitsPerPixel);
// "%s (%d%%)": a UI text followed by a percentage.
std::string percentText(std::string_view label, int percent);

class AboutDialogModel {
public:
    explicit AboutDialogModel(const DialogServices& services);

    void initialise();
    // 1 (OK, Enter) and 2 (Esc, the close box) close with that id; anything else is not handled.
    DialogAction command(int id);

    const std::string& caption() const { return caption_; }
    const std::array<std::string, 7>& lines() const { return lines_; }
    int closeResult() const { return closeResult_; }

private:
    const DialogServices& services_;
    std::string caption_;
    std::array<std::string, 7> lines_;
    int closeResult_ = 0;
};

class ConfigDialogModel {
public:
    ConfigDialogModel(ScreensaverSettings& live, const ScreensaverSettings& defaults, DialogServices services);

    // Texts, the mode list, its selection and every control from the record, in that order.
    void initialise();

    // A click on a button or check box (the check box has already flipped itself in the view;
    // the model flips the field and sets the mark from it, so mark and field agree).
    DialogAction command(int id);
    // The user picks a list entry (index into the entries; out of range clears the selection).
    void chooseMode(int index);
    // The user clicks one of the time-style radios; the record only learns it at OK.
    void chooseTimeStyle(bool twelveHour);
    // The view moved a slider's thumb; the record only learns it from a later notification.
    void moveSlider(int id, int position);
    // A slider notification from either slider.
    void sliderNotification(SliderCode code);

    const std::string& caption() const { return caption_; }
    // Labels, check boxes, radios, buttons and group titles by id; an unknown id gives an
    // empty, enabled, unchecked state.
    const ControlState& control(int id) const;
    const SliderState& slider(int id) const;
    const ModeListState& modeList() const { return modeList_; }
    const std::string& webAddress() const { return services_.webAddress; }
    const DialogServices& services() const { return services_; }
    int closeResult() const { return closeResult_; }

    // The individual steps, public so that the view and the tests can name them.
    void fillModeList();
    void selectMode(bool useDesktop);
    void showSettings();

private:
    ControlState& at(int id) { return controls_[id]; }
    void setTexts();
    void updateVolumeEnabling();
    void updateVolumeLabel();
    void updateBrightnessLabel();
    void readBack();

    ScreensaverSettings& live_;
    const ScreensaverSettings& defaults_;
    DialogServices services_;
    std::string caption_;
    std::map<int, ControlState> controls_;
    SliderState volume_{1, 100, 1, 10, true};
    SliderState gamma_{0, 100, 0, 10, true};
    ModeListState modeList_;
    int closeResult_ = 0;
};

}  // namespace ravelin
