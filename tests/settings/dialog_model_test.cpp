// The dialog model against the rules of the configuration and about dialogs: what the list
// offers, what is selected and greyed, what each click changes and what OK and Cancel store.
#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "dialog_texts.h"
#include "platform/fake/fake_platform.h"
#include "settings/default_settings_file.h"
#include "settings/dialog_model.h"
#include "settings/ui_text.h"
#include "test_support.h"

using namespace ravelin;

namespace {


class DialogModelTest : public ::testing::Test {
protected:
    DialogModelTest() {
        fake.modes = {
            {640, 480, 8, 60},   {640, 480, 16, 60},  {640, 480, 16, 75},  {800, 600, 32, 60},
            {800, 600, 32, 75},  {1024, 768, 32, 60}, {1280, 1024, 32, 60}, {1280, 1024, 32, 75},
        };
        fake.desktopMode = {1280, 1024, 32, 60};
        live = ravelin::testing::factorySettings();
        defaults = ravelin::testing::factorySettings();
    }

    ConfigDialogModel& open() {
        DialogServices services;
        services.text = testText;
        services.save = [this](std::string& failure) {
            ++saves;
            saved = live;
            failure = saveFailure;
            return saveFailure.empty();
        };
        services.webAddress = "https://ravelin.example/";
        model = std::make_unique<ConfigDialogModel>(live, defaults, services);
        model->initialise();
        return *model;
    }

    std::string selectedEntry() const {
        const ModeListState& list = model->modeList();
        return list.selected < 0 ? std::string("<none>") : list.entries[static_cast<size_t>(list.selected)];
    }

    FakePlatform fake;
    ScreensaverSettings live;
    ScreensaverSettings defaults;
    ScreensaverSettings saved;
    int saves = 0;
    std::string saveFailure;  // what the store says when it cannot write; empty: it can
    std::unique_ptr<ConfigDialogModel> model;
};

}  // namespace

// --- formats ---------------------------------------------------------------------------------

TEST(DialogFormats, ModeTextAndItsParseBack) {
    EXPECT_EQ(modeText(1024, 768, 32), "1024 x 768 32 bits");
    int w = 0, h = 0, b = 0;
    ASSERT_TRUE(parseModeText("1920 x 1080 16 bits", w, h, b));
    EXPECT_EQ(w, 1920);
    EXPECT_EQ(h, 1080);
    EXPECT_EQ(b, 16);
}

TEST(DialogFormats, IncompleteModeTextWritesNothing) {
    int w = 1, h = 2, b = 3;
    EXPECT_FALSE(parseModeText("1024 x 768", w, h, b));
    EXPECT_FALSE(parseModeText("", w, h, b));
    EXPECT_FALSE(parseModeText(std::string(200, '9'), w, h, b));
    EXPECT_EQ(w, 1);
    EXPECT_EQ(h, 2);
    EXPECT_EQ(b, 3);
}

TEST(DialogFormats, PercentLabel) {
    EXPECT_EQ(percentText("Volume", 75), "Volume (75%)");
    EXPECT_EQ(percentText("Brightness", 150), "Brightness (150%)");
    EXPECT_EQ(percentText("", -3), " (-3%)");
}

// --- the mode list ---------------------------------------------------------------------------

TEST_F(DialogModelTest, RefreshRatesInARowGiveOneEntrySmallAndEightBitModesNever) {
    open();
    const std::vector<std::string> expected = {"640 x 480 16 bits", "800 x 600 32 bits", "1024 x 768 32 bits",
                                               "1280 x 1024 32 bits"};
    EXPECT_EQ(model->modeList().entries, expected);
}

TEST_F(DialogModelTest, ThresholdIsInclusiveOnEveryAxis) {
    fake.modes = {{639, 480, 32, 0}, {640, 479, 32, 0}, {640, 480, 15, 0}, {640, 480, 16, 0}, {320, 200, 32, 0}};
    fake.desktopMode = {640, 480, 16, 0};
    open();
    ASSERT_EQ(model->modeList().entries.size(), 1u);
    EXPECT_EQ(model->modeList().entries[0], "640 x 480 16 bits");
}

TEST_F(DialogModelTest, OnlyConsecutiveDuplicatesCollapseAndOrderIsKept) {
    // A skipped small mode between two equal ones does not separate them; a different size does.
    fake.modes = {{1024, 768, 32, 60}, {320, 240, 32, 60}, {1024, 768, 32, 75}, {800, 600, 32, 60},
                  {1024, 768, 32, 85}, {1024, 768, 16, 60}};
    fake.desktopMode = {800, 600, 32, 60};
    open();
    const std::vector<std::string> expected = {"1024 x 768 32 bits", "800 x 600 32 bits", "1024 x 768 32 bits",
                                               "1024 x 768 16 bits"};
    EXPECT_EQ(model->modeList().entries, expected);
}

TEST_F(DialogModelTest, AnUnlistedDesktopModeIsOfferedAfterTheListedOnes) {
    fake.desktopMode = {1920, 1200, 32, 60};
    open();
    ASSERT_EQ(model->modeList().entries.size(), 5u);
    EXPECT_EQ(model->modeList().entries.back(), "1920 x 1200 32 bits");
    EXPECT_EQ(selectedEntry(), "1920 x 1200 32 bits");
    model->command(kIdOk);
    EXPECT_EQ(saved.Width, 1920);
    EXPECT_EQ(saved.Height, 1200);
}

TEST_F(DialogModelTest, NoModesListOnlyTheDesktopsAndOkKeepsAnUnlistedMode) {
    fake.modes.clear();
    live.UseDesktop = false;
    live.Width = 1111;
    live.Height = 777;
    live.Depth = 24;
    open();
    EXPECT_EQ(model->modeList().entries, std::vector<std::string>{"1280 x 1024 32 bits"});
    EXPECT_EQ(model->modeList().selected, -1);
    EXPECT_EQ(model->command(kIdOk), DialogAction::Close);
    EXPECT_EQ(saves, 1);
    EXPECT_EQ(saved.Width, 1111);
    EXPECT_EQ(saved.Height, 777);
    EXPECT_EQ(saved.Depth, 24);
}

// --- selection -------------------------------------------------------------------------------

TEST_F(DialogModelTest, UseDesktopShowsTheDesktopModeGreyedAndOkStoresIt) {
    live.Width = 800;  // the record's own mode is not what is shown
    open();
    EXPECT_EQ(selectedEntry(), "1280 x 1024 32 bits");
    EXPECT_FALSE(model->modeList().enabled);
    EXPECT_TRUE(model->control(kIdUseDesktop).checked);
    model->command(kIdOk);
    EXPECT_EQ(live.Width, 1280);
    EXPECT_EQ(live.Height, 1024);
    EXPECT_EQ(live.Depth, 32);
}

TEST_F(DialogModelTest, WithoutUseDesktopTheRecordsModeIsSelectedAndTheListIsLive) {
    live.UseDesktop = false;
    live.Width = 1024;
    live.Height = 768;
    open();
    EXPECT_EQ(selectedEntry(), "1024 x 768 32 bits");
    EXPECT_TRUE(model->modeList().enabled);
    EXPECT_FALSE(model->control(kIdUseDesktop).checked);
}

TEST_F(DialogModelTest, UnlistedModeSelectsNothingAndOkKeepsIt) {
    live.UseDesktop = false;
    live.Width = 1600;
    live.Height = 1200;
    open();
    EXPECT_EQ(model->modeList().selected, -1);
    model->command(kIdOk);
    EXPECT_EQ(saved.Width, 1600);
    EXPECT_EQ(saved.Height, 1200);
    EXPECT_EQ(saved.Depth, 32);
}

TEST_F(DialogModelTest, UnknownDesktopModeSelectsNothing) {
    fake.hasCurrentMode = false;
    open();
    EXPECT_EQ(model->modeList().selected, -1);
    EXPECT_FALSE(model->modeList().enabled);
}

TEST_F(DialogModelTest, ClearingUseDesktopUngreysAndKeepsTheSelection) {
    open();
    EXPECT_EQ(model->command(kIdUseDesktop), DialogAction::Handled);
    EXPECT_FALSE(live.UseDesktop);
    EXPECT_FALSE(model->control(kIdUseDesktop).checked);
    EXPECT_TRUE(model->modeList().enabled);
    EXPECT_EQ(selectedEntry(), "1280 x 1024 32 bits");
    model->chooseMode(1);
    model->command(kIdOk);
    EXPECT_EQ(saved.Width, 800);
    EXPECT_EQ(saved.Height, 600);
    EXPECT_FALSE(saved.UseDesktop);
}

TEST_F(DialogModelTest, SettingUseDesktopSelectsTheDesktopModeAgain) {
    live.UseDesktop = false;
    open();
    EXPECT_EQ(selectedEntry(), "800 x 600 32 bits");
    model->command(kIdUseDesktop);
    EXPECT_TRUE(live.UseDesktop);
    EXPECT_EQ(selectedEntry(), "1280 x 1024 32 bits");
    EXPECT_FALSE(model->modeList().enabled);
}

TEST_F(DialogModelTest, ChoosingOutsideTheListClearsTheSelection) {
    live.UseDesktop = false;
    open();
    model->chooseMode(99);
    EXPECT_EQ(model->modeList().selected, -1);
    model->chooseMode(-1);
    EXPECT_EQ(model->modeList().selected, -1);
}

// --- labels, check boxes and enabling --------------------------------------------------------

TEST_F(DialogModelTest, EveryTextComesFromTheTextTable) {
    open();
    EXPECT_EQ(model->caption(), "Ravelin Configuration");
    EXPECT_EQ(model->control(kIdAbout).text, "About...");
    EXPECT_EQ(model->control(kIdVisit).text, "Visit...");
    EXPECT_EQ(model->control(kIdRestoreDefaults).text, "Restore Defaults");
    EXPECT_EQ(model->control(kIdOk).text, "OK");
    EXPECT_EQ(model->control(kIdCancel).text, "Cancel");
    EXPECT_EQ(model->control(kIdVideoGroup).text, "Video Mode");
    EXPECT_EQ(model->control(kIdOptionsGroup).text, "Options");
    EXPECT_EQ(model->control(kIdGammaGroup).text, "Gamma Control");
    EXPECT_EQ(model->control(kIdSoundGroup).text, "Sound Control");
    EXPECT_EQ(model->control(kIdProductsGroup).text, "Products");
    EXPECT_EQ(model->control(kIdRadio12).text, "12 hrs");
    EXPECT_EQ(model->control(kIdRadio24).text, "24 hrs");
    EXPECT_EQ(model->control(kIdMouseExit).text, "Exit On Mouse Move");
    EXPECT_EQ(model->control(kIdWebText).text, "Visit Our Official web-site for more great 3D screensavers");
    EXPECT_EQ(model->webAddress(), "https://ravelin.example/");
}

TEST_F(DialogModelTest, FactorySettingsReadVolume75Brightness100Greyed12Hour) {
    open();
    EXPECT_EQ(model->control(kIdVolumeLabel).text, "Volume (75%)");
    EXPECT_EQ(model->control(kIdBrightnessLabel).text, "Brightness (100%)");
    EXPECT_FALSE(model->control(kIdBrightnessLabel).enabled);
    EXPECT_FALSE(model->slider(kIdGammaSlider).enabled);
    EXPECT_TRUE(model->control(kIdDefGamma).checked);
    EXPECT_TRUE(model->control(kIdRadio12).checked);
    EXPECT_FALSE(model->control(kIdRadio24).checked);
    EXPECT_TRUE(model->control(kIdRadio12).enabled);
    EXPECT_TRUE(model->control(kIdVolumeLabel).enabled);
    const SliderState& volume = model->slider(kIdVolumeSlider);
    EXPECT_EQ(volume.minimum, 1);
    EXPECT_EQ(volume.maximum, 100);
    EXPECT_EQ(volume.position, 75);
    EXPECT_EQ(volume.pageSize, 10);
    EXPECT_TRUE(volume.enabled);
    const SliderState& gamma = model->slider(kIdGammaSlider);
    EXPECT_EQ(gamma.minimum, 0);
    EXPECT_EQ(gamma.maximum, 100);
    EXPECT_EQ(gamma.position, 50);
    EXPECT_EQ(gamma.pageSize, 10);
    EXPECT_TRUE(model->control(kIdEnableMusic).checked);
    EXPECT_TRUE(model->control(kIdEnableSfx).checked);
    EXPECT_TRUE(model->control(kIdShowClock).checked);
    EXPECT_FALSE(model->control(kIdShowFps).checked);
    EXPECT_FALSE(model->control(kIdVSync).checked);
    EXPECT_FALSE(model->control(kIdMouseExit).checked);
}

TEST_F(DialogModelTest, HandEditedValuesAreClampedForShowingAndSavingAndAnImpossibleModeShowsTheDesktops) {
    live.Volume = 2147483647;
    live.Gamma = 2147483647;  // + 50 for the label would overflow
    live.DefGamma = false;
    live.UseDesktop = false;
    live.Width = 0;
    live.Height = 99999;
    live.Depth = 7;
    open();
    EXPECT_EQ(model->control(kIdVolumeLabel).text, "Volume (100%)");
    EXPECT_EQ(model->control(kIdBrightnessLabel).text, "Brightness (150%)");
    EXPECT_EQ(selectedEntry(), "1280 x 1024 32 bits");
    EXPECT_TRUE(model->modeList().enabled);
    model->command(kIdOk);
    EXPECT_EQ(saved.Volume, 100);
    EXPECT_EQ(saved.Gamma, 100);
    EXPECT_EQ(saved.Width, 1280);
    live.Volume = -5;
    live.Gamma = -2147483647 - 1;
    open();
    EXPECT_EQ(model->control(kIdVolumeLabel).text, "Volume (1%)");
    EXPECT_EQ(model->control(kIdBrightnessLabel).text, "Brightness (50%)");
}

TEST_F(DialogModelTest, AFailedSaveSaysWhyAndKeepsTheDialogOpen) {
    saveFailure = "/home/u/.config/ravelin/settings.conf: Is a directory";
    open();
    EXPECT_EQ(model->command(kIdOk), DialogAction::SaveFailed);
    EXPECT_EQ(model->closeResult(), 0);
    EXPECT_EQ(model->control(kIdSaveFailure).text,
              "The settings were not saved: /home/u/.config/ravelin/settings.conf: Is a directory");
    saveFailure.clear();
    EXPECT_EQ(model->command(kIdOk), DialogAction::Close);
    EXPECT_EQ(model->control(kIdSaveFailure).text, "");
    EXPECT_EQ(saves, 2);
}

TEST_F(DialogModelTest, EachCheckBoxFlipsItsFieldAndMarkTogether) {
    open();
    struct Box {
        int id;
        bool ScreensaverSettings::*field;
    };
    const Box boxes[] = {{kIdShowFps, &ScreensaverSettings::ShowFPS},   {kIdVSync, &ScreensaverSettings::VSync},
                         {kIdMouseExit, &ScreensaverSettings::MouseExit}, {kIdShowClock, &ScreensaverSettings::ShowClock},
                         {kIdEnableMusic, &ScreensaverSettings::EnableMusic}, {kIdEnableSfx, &ScreensaverSettings::EnableSFX},
                         {kIdDefGamma, &ScreensaverSettings::DefGamma}, {kIdUseDesktop, &ScreensaverSettings::UseDesktop}};
    for (const Box& box : boxes) {
        bool before = live.*box.field;
        EXPECT_EQ(model->command(box.id), DialogAction::Handled) << box.id;
        EXPECT_EQ(live.*box.field, !before) << box.id;
        EXPECT_EQ(model->control(box.id).checked, live.*box.field) << box.id;
        model->command(box.id);
        EXPECT_EQ(live.*box.field, before) << box.id;
        EXPECT_EQ(model->control(box.id).checked, before) << box.id;
    }
    EXPECT_EQ(saves, 0);
}

TEST_F(DialogModelTest, DefaultGammaOffKeeps100PercentUntilTheSliderMovesOnResets) {
    open();
    model->command(kIdDefGamma);
    EXPECT_FALSE(live.DefGamma);
    EXPECT_EQ(live.Gamma, 50);
    EXPECT_EQ(model->control(kIdBrightnessLabel).text, "Brightness (100%)");
    EXPECT_TRUE(model->control(kIdBrightnessLabel).enabled);
    EXPECT_TRUE(model->slider(kIdGammaSlider).enabled);

    model->moveSlider(kIdGammaSlider, 80);
    EXPECT_EQ(live.Gamma, 50);  // the thumb alone changes nothing
    model->sliderNotification(SliderCode::ThumbTrack);
    EXPECT_EQ(live.Gamma, 80);
    EXPECT_EQ(model->control(kIdBrightnessLabel).text, "Brightness (130%)");

    model->command(kIdDefGamma);
    EXPECT_TRUE(live.DefGamma);
    EXPECT_EQ(live.Gamma, 50);
    EXPECT_EQ(model->slider(kIdGammaSlider).position, 50);
    EXPECT_EQ(model->control(kIdBrightnessLabel).text, "Brightness (100%)");
    EXPECT_FALSE(model->control(kIdBrightnessLabel).enabled);
    EXPECT_FALSE(model->slider(kIdGammaSlider).enabled);
}

TEST_F(DialogModelTest, VolumeGreyedOnlyWithMusicAndEnginesBothOff) {
    open();
    model->command(kIdEnableMusic);
    EXPECT_TRUE(model->slider(kIdVolumeSlider).enabled);
    EXPECT_TRUE(model->control(kIdVolumeLabel).enabled);
    model->command(kIdEnableSfx);
    EXPECT_FALSE(model->slider(kIdVolumeSlider).enabled);
    EXPECT_FALSE(model->control(kIdVolumeLabel).enabled);
    model->command(kIdEnableSfx);
    EXPECT_TRUE(model->slider(kIdVolumeSlider).enabled);
    EXPECT_TRUE(model->control(kIdVolumeLabel).enabled);
}

TEST_F(DialogModelTest, SoundOffFromTheStartGreysVolume) {
    live.EnableMusic = false;
    live.EnableSFX = false;
    open();
    EXPECT_FALSE(model->slider(kIdVolumeSlider).enabled);
    EXPECT_FALSE(model->control(kIdVolumeLabel).enabled);
    model->command(kIdEnableMusic);
    EXPECT_TRUE(model->slider(kIdVolumeSlider).enabled);
    EXPECT_TRUE(model->control(kIdVolumeLabel).enabled);
}

TEST_F(DialogModelTest, ShowTimeOffGreysTheRadiosButKeepsThemAndOkStillReadsThem) {
    open();
    model->chooseTimeStyle(false);
    model->command(kIdShowClock);
    EXPECT_FALSE(model->control(kIdRadio12).enabled);
    EXPECT_FALSE(model->control(kIdRadio24).enabled);
    EXPECT_FALSE(model->control(kIdRadio12).checked);
    EXPECT_TRUE(model->control(kIdRadio24).checked);
    EXPECT_TRUE(live.TimeFormat);  // the radios only reach the record at OK
    model->command(kIdOk);
    EXPECT_FALSE(saved.TimeFormat);
    EXPECT_FALSE(saved.ShowClock);
}

TEST_F(DialogModelTest, ShowTimeOffFromTheStartGreysTheRadios) {
    live.ShowClock = false;
    live.TimeFormat = false;
    open();
    EXPECT_FALSE(model->control(kIdRadio12).enabled);
    EXPECT_FALSE(model->control(kIdRadio24).enabled);
    EXPECT_TRUE(model->control(kIdRadio24).checked);
    model->command(kIdShowClock);
    EXPECT_TRUE(model->control(kIdRadio12).enabled);
    EXPECT_TRUE(model->control(kIdRadio24).checked);
}

// --- sliders ---------------------------------------------------------------------------------

TEST_F(DialogModelTest, OnlyPageAndThumbTrackNotificationsReachTheRecord) {
    live.DefGamma = false;
    open();
    model->moveSlider(kIdVolumeSlider, 40);
    for (SliderCode code : {SliderCode::LineUp, SliderCode::LineDown, SliderCode::ThumbPosition, SliderCode::Top,
                            SliderCode::Bottom, SliderCode::EndTrack}) {
        model->sliderNotification(code);
        EXPECT_EQ(live.Volume, 75) << static_cast<int>(code);
    }
    EXPECT_EQ(model->control(kIdVolumeLabel).text, "Volume (75%)");
    for (SliderCode code : {SliderCode::PageUp, SliderCode::PageDown, SliderCode::ThumbTrack}) {
        live.Volume = 75;
        model->sliderNotification(code);
        EXPECT_EQ(live.Volume, 40) << static_cast<int>(code);
    }
    EXPECT_EQ(model->control(kIdVolumeLabel).text, "Volume (40%)");
}

TEST_F(DialogModelTest, ANotificationFromOneSliderReadsBoth) {
    live.DefGamma = false;
    open();
    model->moveSlider(kIdGammaSlider, 0);  // moved with the arrow keys: not read yet
    model->moveSlider(kIdVolumeSlider, 10);
    model->sliderNotification(SliderCode::PageDown);
    EXPECT_EQ(live.Volume, 10);
    EXPECT_EQ(live.Gamma, 0);
    EXPECT_EQ(model->control(kIdBrightnessLabel).text, "Brightness (50%)");
    EXPECT_EQ(model->control(kIdVolumeLabel).text, "Volume (10%)");
}

TEST_F(DialogModelTest, SliderThumbsStayInTheirRanges) {
    open();
    model->moveSlider(kIdVolumeSlider, 0);
    EXPECT_EQ(model->slider(kIdVolumeSlider).position, 1);
    model->moveSlider(kIdGammaSlider, 500);
    EXPECT_EQ(model->slider(kIdGammaSlider).position, 100);
    model->moveSlider(4242, 7);  // not a slider: nothing happens
    model->sliderNotification(SliderCode::ThumbTrack);
    EXPECT_EQ(live.Volume, 1);
    EXPECT_EQ(live.Gamma, 100);
}

// --- OK, Cancel, Restore Defaults, the buttons -----------------------------------------------

TEST_F(DialogModelTest, OkParsesTheEntrySetsTimeFormatSavesAndCloses) {
    live.UseDesktop = false;
    open();
    model->chooseMode(0);
    model->chooseTimeStyle(false);
    EXPECT_EQ(model->command(kIdOk), DialogAction::Close);
    EXPECT_EQ(model->closeResult(), kIdOk);
    EXPECT_EQ(saves, 1);
    EXPECT_EQ(saved.Width, 640);
    EXPECT_EQ(saved.Height, 480);
    EXPECT_EQ(saved.Depth, 16);
    EXPECT_FALSE(saved.TimeFormat);
}

TEST_F(DialogModelTest, CancelSavesNothing) {
    open();
    model->command(kIdShowFps);
    EXPECT_EQ(model->command(kIdCancel), DialogAction::Close);
    EXPECT_EQ(model->closeResult(), kIdCancel);
    EXPECT_EQ(saves, 0);
}

TEST_F(DialogModelTest, RestoreDefaultsThenCancelWritesNothing) {
    live.ShowFPS = true;
    live.Volume = 20;
    open();
    model->command(kIdRestoreDefaults);
    EXPECT_EQ(live, defaults);
    EXPECT_EQ(model->command(kIdCancel), DialogAction::Close);
    EXPECT_EQ(saves, 0);
    EXPECT_TRUE(fake.store.log.empty());
}

TEST_F(DialogModelTest, RestoreDefaultsRefillsReselectsAndShows) {
    live.UseDesktop = false;
    live.Width = 1024;
    live.Height = 768;
    live.DefGamma = false;
    live.Gamma = 10;
    live.Volume = 33;
    live.EnableMusic = false;
    live.EnableSFX = false;
    live.ShowClock = false;
    live.TimeFormat = false;
    open();
    model->moveSlider(kIdGammaSlider, 90);
    EXPECT_EQ(model->command(kIdRestoreDefaults), DialogAction::Handled);
    EXPECT_EQ(model->modeList().entries.size(), 4u);  // refilled, not appended to
    EXPECT_EQ(selectedEntry(), "1280 x 1024 32 bits");
    EXPECT_FALSE(model->modeList().enabled);
    EXPECT_TRUE(model->control(kIdUseDesktop).checked);
    EXPECT_EQ(model->control(kIdVolumeLabel).text, "Volume (75%)");
    EXPECT_EQ(model->control(kIdBrightnessLabel).text, "Brightness (100%)");
    EXPECT_EQ(model->slider(kIdGammaSlider).position, 50);
    EXPECT_EQ(model->slider(kIdVolumeSlider).position, 75);
    EXPECT_TRUE(model->slider(kIdVolumeSlider).enabled);
    EXPECT_FALSE(model->slider(kIdGammaSlider).enabled);
    EXPECT_TRUE(model->control(kIdRadio12).checked);
    EXPECT_TRUE(model->control(kIdRadio12).enabled);
    EXPECT_EQ(saves, 0);
    model->command(kIdOk);
    EXPECT_EQ(saves, 1);
    EXPECT_EQ(saved.Width, 1280);
    EXPECT_TRUE(saved.TimeFormat);
}

TEST_F(DialogModelTest, RestoreDefaultsWithoutUseDesktopLeavesTheListUsable) {
    defaults.UseDesktop = false;
    defaults.Width = 1024;
    defaults.Height = 768;
    open();
    EXPECT_FALSE(model->modeList().enabled);
    model->command(kIdRestoreDefaults);
    EXPECT_FALSE(model->control(kIdUseDesktop).checked);
    EXPECT_TRUE(model->modeList().enabled);
    EXPECT_EQ(selectedEntry(), "1024 x 768 32 bits");
}

TEST_F(DialogModelTest, ButtonsAskTheViewAndOtherIdsAreNotHandled) {
    open();
    ScreensaverSettings before = live;
    EXPECT_EQ(model->command(kIdVisit), DialogAction::OpenWebPage);
    EXPECT_EQ(model->command(kIdAbout), DialogAction::OpenAbout);
    EXPECT_EQ(model->command(kIdRadio12), DialogAction::NotHandled);
    EXPECT_EQ(model->command(kIdRadio24), DialogAction::NotHandled);
    EXPECT_EQ(model->command(kIdModeList), DialogAction::NotHandled);
    EXPECT_EQ(model->command(0), DialogAction::NotHandled);
    EXPECT_EQ(model->command(-5), DialogAction::NotHandled);
    EXPECT_EQ(live, before);
    EXPECT_EQ(model->closeResult(), 0);
}

// --- about -----------------------------------------------------------------------------------

TEST(AboutDialogModel, SevenLinesCaptionAndEveryCloseWay) {
    DialogServices services;
    services.text = [](std::string_view key) { return key == "about" ? std::string("About") : std::string("?"); };
    services.aboutLines = {"Ravelin", "", "Programming: A", "3D models: B", "Music and Sounds: C", "x", "y"};
    AboutDialogModel about(services);
    about.initialise();
    EXPECT_EQ(about.caption(), "About");
    EXPECT_EQ(about.lines(), services.aboutLines);
    EXPECT_EQ(about.command(kIdOk), DialogAction::Close);
    EXPECT_EQ(about.closeResult(), kIdOk);
    about.initialise();
    EXPECT_EQ(about.command(kIdCancel), DialogAction::Close);
    EXPECT_EQ(about.closeResult(), kIdCancel);
    about.initialise();
    EXPECT_EQ(about.command(1072), DialogAction::NotHandled);
    EXPECT_EQ(about.command(3), DialogAction::NotHandled);
    EXPECT_EQ(about.closeResult(), 0);
}

TEST_F(DialogModelTest, AboutChangesNothingInTheSettings) {
    open();
    ScreensaverSettings before = live;
    AboutDialogModel about(model->services());
    about.initialise();
    about.command(kIdOk);
    EXPECT_EQ(live, before);
    EXPECT_EQ(saves, 0);
}

// --- the process-wide sources ----------------------------------------------------------------

namespace {

}  // namespace

TEST_F(DialogModelTest, StandardServicesSpeakTheEmbeddedTextsAndFactorySettings) {
    std::vector<uint8_t> texts = ravelin::testing::readSourceFile("resources/ui_text.txt");
    std::vector<uint8_t> settingsText = ravelin::testing::readSourceFile("resources/def_settings.txt");
    if (texts.empty() || settingsText.empty()) GTEST_SKIP() << "resource texts not found in the source tree";
    loadUiText(ByteRange{texts.data(), texts.size()});
    defaultSettingsFile().load(ByteRange{settingsText.data(), settingsText.size()});
    mainWebSiteUrl() = lookupDefault("main_web_site_url");

    ScreensaverSettings fromFile;
    applyDefaultsFile(fromFile);
    EXPECT_EQ(fromFile, ravelin::testing::factorySettings());  // the record these tests assume

    live = fromFile;
    defaults = fromFile;
    ConfigDialogModel standard(live, defaults, standardDialogServices());
    standard.initialise();
    EXPECT_EQ(standard.caption(), "Ravelin Configuration");
    for (const auto& [id, text] : std::map<int, std::string>{{kIdVideoGroup, "Video Mode"},
                                                             {kIdUseDesktop, "Use Desktop Settings"},
                                                             {kIdVolumeLabel, "Volume (75%)"},
                                                             {kIdBrightnessLabel, "Brightness (100%)"},
                                                             {kIdAbout, "About..."},
                                                             {kIdOk, "OK"},
                                                             {kIdCancel, "Cancel"},
                                                             {kIdRadio12, "12 hrs"}}) {
        EXPECT_EQ(standard.control(id).text, text) << id;
    }
    EXPECT_EQ(standard.webAddress().rfind("http", 0), 0u);
    EXPECT_TRUE(fake.messages.empty());

    AboutDialogModel about(standard.services());
    about.initialise();
    EXPECT_EQ(about.caption(), "About");
    EXPECT_EQ(about.lines()[0], "Ravelin");
    EXPECT_EQ(about.lines()[1], "");
    EXPECT_EQ(about.lines()[2].rfind("Programming: ", 0), 0u);
    EXPECT_EQ(about.lines()[3].rfind("3D models: ", 0), 0u);
    EXPECT_EQ(about.lines()[4].rfind("Music and Sounds: ", 0), 0u);
    EXPECT_FALSE(about.lines()[6].empty());
}
