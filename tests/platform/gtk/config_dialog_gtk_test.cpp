// The GTK configuration and about dialogs on a real (virtual) display: scripted clicks, keys
// and slider moves, what OK writes to the settings store, and screenshots to look at.
#include <gtest/gtest.h>
#include <gtk/gtk.h>

#include <cstdlib>
#include <filesystem>
#include <unistd.h>
#include <string>
#include <vector>

#include "app/start_up.h"
#include "dialog_texts.h"
#include "platform/fake/fake_platform.h"
#include "platform/gtk/config_dialog.h"
#include "platform/linux/file_settings_store.h"
#include "settings/settings.h"
#include "test_support.h"

using namespace ravelin;

namespace {

// A 280 x 140 24-bit .bmp: a blue-to-orange sky over a grey band, enough to see the picture.
std::vector<uint8_t> testBitmap() {
    const int w = 280, h = 140, stride = w * 3;
    std::vector<uint8_t> bmp(54 + stride * h, 0);
    auto put32 = [&](size_t at, uint32_t v) {
        for (int i = 0; i < 4; ++i) bmp[at + i] = uint8_t(v >> (8 * i));
    };
    bmp[0] = 'B';
    bmp[1] = 'M';
    put32(2, uint32_t(bmp.size()));
    put32(10, 54);
    put32(14, 40);
    put32(18, w);
    put32(22, h);
    bmp[26] = 1;
    bmp[28] = 24;
    for (int y = 0; y < h; ++y) {  // bottom row first
        for (int x = 0; x < w; ++x) {
            uint8_t* p = &bmp[54 + y * stride + x * 3];
            bool road = y < 40;
            p[0] = road ? 90 : uint8_t(120 + y);        // blue
            p[1] = road ? 90 : uint8_t(60 + y / 2);     // green
            p[2] = road ? 95 : uint8_t(230 - y);        // red
        }
    }
    return bmp;
}

// The generator's picture when this build has made it, else the stand-in above.
std::vector<uint8_t> dialogBitmap() {
    std::vector<uint8_t> bytes = ravelin::testing::readFile(std::string(RAVELIN_ASSET_DIR) + "/bitmap107.bmp");
    return bytes.empty() ? testBitmap() : bytes;
}

void pump() {
    while (gtk_events_pending()) gtk_main_iteration_do(FALSE);
}

void sendKey(GtkWidget* window, guint keyval) {
    GdkEvent* event = gdk_event_new(GDK_KEY_PRESS);
    event->key.window = GDK_WINDOW(g_object_ref(gtk_widget_get_window(window)));
    event->key.send_event = TRUE;
    event->key.time = GDK_CURRENT_TIME;
    event->key.keyval = keyval;
    GdkSeat* seat = gdk_display_get_default_seat(gtk_widget_get_display(window));
    gdk_event_set_device(event, gdk_seat_get_keyboard(seat));
    gtk_main_do_event(event);
    gdk_event_free(event);
}

// The input window a widget receives its pointer events through.
GdkWindow* eventWindowOf(GtkWidget* widget) {
    GdkWindow* top = gtk_widget_get_window(gtk_widget_get_toplevel(widget));
    GList* children = gdk_window_get_children(top);
    GdkWindow* found = nullptr;
    for (GList* c = children; c && !found; c = c->next) {
        gpointer owner = nullptr;
        gdk_window_get_user_data(GDK_WINDOW(c->data), &owner);
        if (owner == widget) found = GDK_WINDOW(c->data);
    }
    g_list_free(children);
    return found ? found : gtk_widget_get_window(widget);
}

void screenshot(const std::string& file) {
    pump();
    gdk_display_sync(gdk_display_get_default());
    std::string command = "import -window root " + file + " 2>/dev/null";
    // The picture is for people to look at; a missing ImageMagick only loses the picture.
    if (std::system(command.c_str()) != 0) std::printf("screenshot %s not taken\n", file.c_str());
}

std::string labelOf(GtkWidget* window, int id) {
    GtkWidget* w = findDialogControl(window, id);
    if (!w) return "<missing>";
    if (GTK_IS_LABEL(w)) return gtk_label_get_text(GTK_LABEL(w));
    if (GTK_IS_BUTTON(w)) return gtk_button_get_label(GTK_BUTTON(w));
    if (GTK_IS_FRAME(w)) return gtk_frame_get_label(GTK_FRAME(w));
    return "<unknown>";
}

bool sensitive(GtkWidget* window, int id) {
    GtkWidget* w = findDialogControl(window, id);
    return w && gtk_widget_get_sensitive(w);
}

class GtkDialogTest : public ::testing::Test {
protected:
    void SetUp() override {
        if (!gtk_init_check(nullptr, nullptr)) GTEST_SKIP() << "no display: run under scripts/with_display.sh";
        fake.modes = {{640, 480, 16, 60}, {800, 600, 32, 60}, {800, 600, 32, 75}, {1024, 768, 32, 60},
                      {1280, 1024, 32, 60}, {1920, 1080, 32, 60}};
        fake.desktopMode = {1920, 1080, 32, 60};
        fake.addResource("BITMAP", 107, dialogBitmap());
        live = ravelin::testing::factorySettings();
        defaults = ravelin::testing::factorySettings();
        services.text = testText;
        services.save = saveSettings;
        services.webAddress = "https://ravelin.example/";
        services.aboutLines = {"Ravelin", "", "Programming: Ada Byron", "3D models: Tom Lathe",
                               "Music and Sounds: Eve Chord", "Thank you for watching.", "Drive safely."};
    }
    void TearDown() override { setDialogShownHook({}); }

    int run(std::function<void(GtkWidget* window, bool about)> script) {
        setDialogShownHook(std::move(script));
        return runConfigDialog(0, live, defaults, services);
    }

    FakePlatform fake;
    // OK saves the process-wide live record, so the dialog edits that one.
    ScreensaverSettings& live = liveSettings();
    ScreensaverSettings& defaults = defaultSettings();
    DialogServices services;
};

}  // namespace

TEST_F(GtkDialogTest, ShowsEveryTextAndStateThenOkSavesAllEighteenValues) {
    std::vector<std::string> aboutLines;
    std::string aboutCaption;
    int result = run([&](GtkWidget* window, bool about) {
        if (about) {
            screenshot("about_dialog.png");
            aboutCaption = gtk_window_get_title(GTK_WINDOW(window));
            for (int id = 1072; id <= 1078; ++id) aboutLines.push_back(labelOf(window, id));
            sendKey(window, GDK_KEY_Escape);
            return;
        }
        screenshot("config_dialog.png");
        EXPECT_STREQ(gtk_window_get_title(GTK_WINDOW(window)), "Ravelin Configuration");
        EXPECT_EQ(labelOf(window, kIdVideoGroup), "Video Mode");
        EXPECT_EQ(labelOf(window, kIdVolumeLabel), "Volume (75%)");
        EXPECT_EQ(labelOf(window, kIdBrightnessLabel), "Brightness (100%)");
        EXPECT_EQ(labelOf(window, kIdAbout), "About...");
        EXPECT_EQ(labelOf(window, kIdOk), "OK");
        EXPECT_FALSE(sensitive(window, kIdModeList));        // the desktop's mode, greyed
        EXPECT_FALSE(sensitive(window, kIdGammaSlider));     // default gamma
        EXPECT_FALSE(sensitive(window, kIdBrightnessLabel));
        EXPECT_TRUE(sensitive(window, kIdVolumeSlider));
        GtkWidget* combo = findDialogControl(window, kIdModeList);
        ASSERT_NE(combo, nullptr);
        gchar* shown = gtk_combo_box_text_get_active_text(GTK_COMBO_BOX_TEXT(combo));
        EXPECT_STREQ(shown, "1920 x 1080 32 bits");
        g_free(shown);
        EXPECT_TRUE(gtk_toggle_button_get_active(GTK_TOGGLE_BUTTON(findDialogControl(window, kIdRadio12))));

        gtk_button_clicked(GTK_BUTTON(findDialogControl(window, kIdAbout)));  // runs the about box
        gtk_button_clicked(GTK_BUTTON(findDialogControl(window, kIdShowFps)));
        gtk_button_clicked(GTK_BUTTON(findDialogControl(window, kIdRadio24)));
        gtk_button_clicked(GTK_BUTTON(findDialogControl(window, kIdOk)));
    });
    EXPECT_EQ(result, kIdOk);
    EXPECT_EQ(aboutCaption, "About");
    EXPECT_EQ(aboutLines, std::vector<std::string>(services.aboutLines.begin(), services.aboutLines.end()));
    EXPECT_EQ(fake.store.values.size(), 18u);
    EXPECT_EQ(fake.store.values["ShowFPS"], 1u);
    EXPECT_EQ(fake.store.values["TimeFormat"], 0u);
    EXPECT_EQ(fake.store.values["Width"], 1920u);
    EXPECT_EQ(fake.store.values["Height"], 1080u);
    EXPECT_EQ(fake.store.values["Depth"], 32u);
    EXPECT_EQ(fake.store.values["Volume"], 75u);
}

TEST_F(GtkDialogTest, EscapeCancelsAndWritesNothing) {
    int result = run([&](GtkWidget* window, bool) {
        gtk_button_clicked(GTK_BUTTON(findDialogControl(window, kIdMouseExit)));
        sendKey(window, GDK_KEY_Escape);
    });
    EXPECT_EQ(result, kIdCancel);
    EXPECT_TRUE(fake.store.log.empty());
}

TEST_F(GtkDialogTest, TheCloseBoxCancels) {
    int result = run([&](GtkWidget* window, bool) {
        GdkEvent* event = gdk_event_new(GDK_DELETE);
        event->any.window = GDK_WINDOW(g_object_ref(gtk_widget_get_window(window)));
        event->any.send_event = TRUE;
        gtk_main_do_event(event);
        gdk_event_free(event);
    });
    EXPECT_EQ(result, kIdCancel);
    EXPECT_TRUE(fake.store.log.empty());
}

TEST_F(GtkDialogTest, EnterOnACheckBoxIsOk) {
    live.UseDesktop = false;
    int result = run([&](GtkWidget* window, bool) {
        GtkWidget* check = findDialogControl(window, kIdVSync);
        gtk_widget_grab_focus(check);
        sendKey(window, GDK_KEY_Return);
    });
    EXPECT_EQ(result, kIdOk);
    EXPECT_EQ(fake.store.values["Width"], 800u);
    EXPECT_EQ(fake.store.values["VSync"], 0u);
}

TEST_F(GtkDialogTest, PickingAModeAndClearingUseDesktop) {
    int result = run([&](GtkWidget* window, bool) {
        gtk_button_clicked(GTK_BUTTON(findDialogControl(window, kIdUseDesktop)));
        EXPECT_TRUE(sensitive(window, kIdModeList));
        GtkWidget* combo = findDialogControl(window, kIdModeList);
        gtk_combo_box_set_active(GTK_COMBO_BOX(combo), 2);  // 1024 x 768
        gtk_button_clicked(GTK_BUTTON(findDialogControl(window, kIdOk)));
    });
    EXPECT_EQ(result, kIdOk);
    EXPECT_EQ(fake.store.values["UseDesktop"], 0u);
    EXPECT_EQ(fake.store.values["Width"], 1024u);
    EXPECT_EQ(fake.store.values["Height"], 768u);
}

TEST_F(GtkDialogTest, SlidersActOnPageStepsAndDragsButNotOnArrowSteps) {
    live.DefGamma = false;
    int result = run([&](GtkWidget* window, bool) {
        GtkWidget* gamma = findDialogControl(window, kIdGammaSlider);
        GtkWidget* volume = findDialogControl(window, kIdVolumeSlider);
        EXPECT_TRUE(gtk_widget_get_sensitive(gamma));
        g_signal_emit_by_name(gamma, "move-slider", GTK_SCROLL_STEP_FORWARD);  // an arrow key
        EXPECT_DOUBLE_EQ(gtk_range_get_value(GTK_RANGE(gamma)), 51);
        EXPECT_EQ(labelOf(window, kIdBrightnessLabel), "Brightness (100%)");
        g_signal_emit_by_name(volume, "move-slider", GTK_SCROLL_PAGE_BACKWARD);  // reads both
        EXPECT_DOUBLE_EQ(gtk_range_get_value(GTK_RANGE(volume)), 65);
        EXPECT_EQ(labelOf(window, kIdVolumeLabel), "Volume (65%)");
        EXPECT_EQ(labelOf(window, kIdBrightnessLabel), "Brightness (101%)");
        // The mouse wheel moves the thumb like an arrow key: the record does not follow.
        double before = gtk_range_get_value(GTK_RANGE(volume));
        GdkWindow* target = eventWindowOf(volume);
        ASSERT_NE(target, nullptr);
        GdkEvent* wheel = gdk_event_new(GDK_SCROLL);
        wheel->scroll.window = GDK_WINDOW(g_object_ref(target));
        wheel->scroll.send_event = TRUE;
        wheel->scroll.direction = GDK_SCROLL_DOWN;
        gdk_event_set_device(wheel, gdk_seat_get_pointer(gdk_display_get_default_seat(gtk_widget_get_display(volume))));
        gtk_main_do_event(wheel);  // as the main loop delivers it, so it is the current event
        gdk_event_free(wheel);
        EXPECT_NE(gtk_range_get_value(GTK_RANGE(volume)), before);
        EXPECT_EQ(labelOf(window, kIdVolumeLabel), "Volume (65%)");
        gboolean handled = FALSE;
        g_signal_emit_by_name(volume, "change-value", GTK_SCROLL_JUMP, 20.0, &handled);  // a drag
        EXPECT_EQ(labelOf(window, kIdVolumeLabel), "Volume (20%)");
        gtk_button_clicked(GTK_BUTTON(findDialogControl(window, kIdOk)));
    });
    EXPECT_EQ(result, kIdOk);
    EXPECT_EQ(fake.store.values["Volume"], 20u);
    EXPECT_EQ(fake.store.values["Gamma"], 51u);
}

TEST_F(GtkDialogTest, MusicAndEnginesOffGreyTheVolume) {
    int result = run([&](GtkWidget* window, bool) {
        gtk_button_clicked(GTK_BUTTON(findDialogControl(window, kIdEnableMusic)));
        EXPECT_TRUE(sensitive(window, kIdVolumeSlider));
        gtk_button_clicked(GTK_BUTTON(findDialogControl(window, kIdEnableSfx)));
        EXPECT_FALSE(sensitive(window, kIdVolumeSlider));
        EXPECT_FALSE(sensitive(window, kIdVolumeLabel));
        gtk_button_clicked(GTK_BUTTON(findDialogControl(window, kIdShowClock)));
        EXPECT_FALSE(sensitive(window, kIdRadio12));
        EXPECT_FALSE(sensitive(window, kIdRadio24));
        EXPECT_TRUE(gtk_toggle_button_get_active(GTK_TOGGLE_BUTTON(findDialogControl(window, kIdRadio12))));
        screenshot("config_dialog_greyed.png");
        sendKey(window, GDK_KEY_Escape);
    });
    EXPECT_EQ(result, kIdCancel);
}

TEST_F(GtkDialogTest, RestoreDefaultsThenCancelWritesNothing) {
    live.UseDesktop = false;
    live.ShowFPS = true;
    int result = run([&](GtkWidget* window, bool) {
        EXPECT_TRUE(sensitive(window, kIdModeList));
        gtk_button_clicked(GTK_BUTTON(findDialogControl(window, kIdRestoreDefaults)));
        EXPECT_FALSE(sensitive(window, kIdModeList));
        EXPECT_TRUE(gtk_toggle_button_get_active(GTK_TOGGLE_BUTTON(findDialogControl(window, kIdUseDesktop))));
        EXPECT_FALSE(gtk_toggle_button_get_active(GTK_TOGGLE_BUTTON(findDialogControl(window, kIdShowFps))));
        gtk_button_clicked(GTK_BUTTON(findDialogControl(window, kIdCancel)));
    });
    EXPECT_EQ(result, kIdCancel);
    EXPECT_TRUE(fake.store.log.empty());
    EXPECT_EQ(live, defaults);
}

TEST_F(GtkDialogTest, OkWritesTheSettingsFileInTheUsersHome) {
    std::string pattern = (std::filesystem::temp_directory_path() / "ravelin-dialog-home-XXXXXX").string();
    std::vector<char> folder(pattern.begin(), pattern.end());
    folder.push_back('\0');
    ASSERT_NE(mkdtemp(folder.data()), nullptr);
    std::string home = folder.data();
    const char* oldHome = std::getenv("HOME");
    const char* oldConfig = std::getenv("XDG_CONFIG_HOME");
    std::string savedHome = oldHome ? oldHome : "";
    std::string savedConfig = oldConfig ? oldConfig : "";
    setenv("HOME", home.c_str(), 1);
    unsetenv("XDG_CONFIG_HOME");
    FileSettingsStore store;  // finds its file from the environment, as the shell's does
    fake.storeOverride = &store;

    int result = run([&](GtkWidget* window, bool) {
        gtk_button_clicked(GTK_BUTTON(findDialogControl(window, kIdMouseExit)));
        sendKey(window, GDK_KEY_Return);  // the focus is on a check box: Enter is OK
    });
    fake.storeOverride = nullptr;
    if (oldHome) setenv("HOME", savedHome.c_str(), 1); else unsetenv("HOME");
    if (oldConfig) setenv("XDG_CONFIG_HOME", savedConfig.c_str(), 1);

    EXPECT_EQ(result, kIdOk);
    std::string path = home + "/.config/ravelin/settings.conf";
    EXPECT_EQ(store.filePath(), path);
    const std::vector<uint8_t> bytes = ravelin::testing::readFile(path);
    ASSERT_FALSE(bytes.empty()) << path;
    const std::string content(bytes.begin(), bytes.end());
    for (const char* line : {"MouseExit=1", "Width=1920", "Height=1080", "Depth=32", "Volume=75", "Gamma=50",
                             "TimeFormat=1", "ShowFlame=0", "Detail=0"}) {
        EXPECT_NE(content.find(line), std::string::npos) << line << " in\n" << content;
    }
    std::remove(path.c_str());
    rmdir((home + "/.config/ravelin").c_str());
    rmdir((home + "/.config").c_str());
    rmdir(home.c_str());
}

// What `ravelin -c` does: start-up with the embedded texts, then the dialog over the
// process-wide records with the standard services.
TEST_F(GtkDialogTest, AfterStartUpTheDialogSpeaksTheEmbeddedTextsAndSaves) {
    std::vector<uint8_t> texts = ravelin::testing::readSourceFile("resources/ui_text.txt");
    std::vector<uint8_t> factory = ravelin::testing::readSourceFile("resources/def_settings.txt");
    if (texts.empty() || factory.empty()) GTEST_SKIP() << "resource texts not found in the source tree";
    fake.addResource("CustomData", kUiTextResource, texts);
    fake.addResource("CustomData", kDefaultSettingsResource, factory);
    live = ScreensaverSettings{};
    defaults = ScreensaverSettings{};
    ScreensaverApp app;
    startUp(app, "ravelin /c:1234");
    EXPECT_EQ(app.parentWindow, WindowHandle(1234));

    std::vector<std::string> aboutLines;
    setDialogShownHook([&](GtkWidget* window, bool about) {
        if (about) {
            for (int id = 1072; id <= 1078; ++id) aboutLines.push_back(labelOf(window, id));
            gtk_button_clicked(GTK_BUTTON(findDialogControl(window, kIdOk)));
            return;
        }
        EXPECT_STREQ(gtk_window_get_title(GTK_WINDOW(window)), "Ravelin Configuration");
        EXPECT_EQ(labelOf(window, kIdVolumeLabel), "Volume (75%)");
        EXPECT_EQ(labelOf(window, kIdWebText), "Visit Our Official web-site for more great 3D screensavers");
        EXPECT_EQ(labelOf(window, kIdAbout), "About...");
        gtk_button_clicked(GTK_BUTTON(findDialogControl(window, kIdAbout)));
        gtk_button_clicked(GTK_BUTTON(findDialogControl(window, kIdOk)));
    });
    // 1234 names no window on this display: the dialog simply stands alone.
    EXPECT_EQ(runConfigDialog(app.parentWindow), kIdOk);
    ASSERT_EQ(aboutLines.size(), 7u);
    EXPECT_EQ(aboutLines[0], "Ravelin");
    EXPECT_EQ(aboutLines[1], "");
    EXPECT_EQ(fake.store.values.size(), 18u);
    EXPECT_EQ(fake.store.values["Width"], 1920u);  // the desktop's mode, as Use Desktop asks
    EXPECT_EQ(fake.store.values["TimeFormat"], 1u);
    EXPECT_TRUE(fake.messages.empty());
}
