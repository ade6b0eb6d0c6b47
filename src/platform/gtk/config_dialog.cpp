// GTK 3 views of the configuration and about dialogs. Every user action goes to the model
// first; the widgets are then redrawn from the model, so widget and record never disagree.
#include "platform/gtk/config_dialog.h"

#include "platform/gtk/message_box.h"

#include <gtk/gtk.h>
#ifdef GDK_WINDOWING_X11
#include <gdk/gdkx.h>
#endif

#include <cmath>
#include <cstdio>
#include <map>
#include <string>
#include <vector>

namespace ravelin {

namespace {

constexpr uint16_t kDialogBitmapId = 107;
constexpr int kBitmapWidth = 280;
constexpr int kBitmapHeight = 140;
constexpr const char* kIdKey = "ravelin-control-id";

std::function<void(GtkWidget*, bool)>& shownHook() {
    static std::function<void(GtkWidget*, bool)> hook;
    return hook;
}

void nameControl(GtkWidget* widget, int id) {
    char name[32];
    std::snprintf(name, sizeof name, "control-%d", id);
    gtk_widget_set_name(widget, name);
    g_object_set_data(G_OBJECT(widget), kIdKey, GINT_TO_POINTER(id));
}

int controlId(gpointer widget) { return GPOINTER_TO_INT(g_object_get_data(G_OBJECT(widget), kIdKey)); }

struct FindRequest {
    std::string name;
    GtkWidget* found = nullptr;
};

void findNamed(GtkWidget* widget, gpointer data) {
    auto* request = static_cast<FindRequest*>(data);
    if (request->found) return;
    if (request->name == gtk_widget_get_name(widget)) {
        request->found = widget;
        return;
    }
    if (GTK_IS_CONTAINER(widget)) gtk_container_forall(GTK_CONTAINER(widget), findNamed, data);
}

uint32_t readLe32(const uint8_t* p) {
    return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24;
}

// The dialog picture. Linux resource blobs are whole .bmp files; a Windows-style bitmap
// resource (no file header) of 16 bits or more gets one added so the loader accepts it.
GdkPixbuf* loadBitmap(uint16_t id) {
    ByteRange blob = platform().findResource("BITMAP", id);
    if (blob.size < 2) return nullptr;
    std::vector<uint8_t> file;
    if (blob.data[0] == 'B' && blob.data[1] == 'M') {
        file.assign(blob.data, blob.data + blob.size);
    } else {
        if (blob.size < 40) return nullptr;
        uint32_t headerSize = readLe32(blob.data);
        unsigned bits = unsigned(blob.data[14]) | unsigned(blob.data[15]) << 8;
        if (headerSize < 40 || headerSize > blob.size || bits < 16) return nullptr;
        uint32_t total = uint32_t(blob.size) + 14;
        uint32_t offset = 14 + headerSize;
        const uint8_t header[14] = {'B', 'M', uint8_t(total), uint8_t(total >> 8), uint8_t(total >> 16),
                                    uint8_t(total >> 24), 0, 0, 0, 0, uint8_t(offset), uint8_t(offset >> 8),
                                    uint8_t(offset >> 16), uint8_t(offset >> 24)};
        file.assign(header, header + 14);
        file.insert(file.end(), blob.data, blob.data + blob.size);
    }
    GdkPixbufLoader* loader = gdk_pixbuf_loader_new_with_type("bmp", nullptr);
    if (!loader) return nullptr;
    GdkPixbuf* pixbuf = nullptr;
    if (gdk_pixbuf_loader_write(loader, file.data(), file.size(), nullptr) && gdk_pixbuf_loader_close(loader, nullptr)) {
        pixbuf = gdk_pixbuf_loader_get_pixbuf(loader);
        if (pixbuf) g_object_ref(pixbuf);
    } else {
        gdk_pixbuf_loader_close(loader, nullptr);
    }
    g_object_unref(loader);
    return pixbuf;
}

// Owner windows come as X11 ids on the command line; other window systems ignore them.
void makeTransientFor(GtkWidget* window, WindowHandle parent) {
#ifdef GDK_WINDOWING_X11
    if (parent == 0) return;
    GdkDisplay* display = gtk_widget_get_display(window);
    if (!GDK_IS_X11_DISPLAY(display)) return;
    gtk_widget_realize(window);
    GdkWindow* foreign = gdk_x11_window_foreign_new_for_display(display, static_cast<Window>(parent));
    if (!foreign) return;  // no such window: the dialog simply stands alone
    gdk_window_set_transient_for(gtk_widget_get_window(window), foreign);
    g_object_unref(foreign);
#else
    (void)window;
    (void)parent;
#endif
}

// Runs the hook once the freshly shown window has been drawn.
void announceShown(GtkWidget* window, bool about) {
    if (!shownHook()) return;
    struct Shown {
        GtkWidget* window;
        bool about;
    };
    auto* shown = new Shown{window, about};
    g_object_ref(window);
    g_idle_add_full(
        G_PRIORITY_LOW,
        [](gpointer data) -> gboolean {
            auto* s = static_cast<Shown*>(data);
            if (gtk_widget_get_visible(s->window) && shownHook()) {
                gdk_display_sync(gtk_widget_get_display(s->window));
                while (gtk_events_pending()) gtk_main_iteration_do(FALSE);
                auto hook = shownHook();  // the hook may replace itself
                hook(s->window, s->about);
            }
            g_object_unref(s->window);
            delete s;
            return G_SOURCE_REMOVE;
        },
        shown, nullptr);
}

bool isEnterKey(guint keyval) {
    return keyval == GDK_KEY_Return || keyval == GDK_KEY_KP_Enter || keyval == GDK_KEY_ISO_Enter;
}

GtkWidget* framedBox(const std::string& title, int id, GtkOrientation orientation, GtkWidget** inner) {
    GtkWidget* frame = gtk_frame_new(title.empty() ? nullptr : title.c_str());
    if (id) nameControl(frame, id);
    GtkWidget* box = gtk_box_new(orientation, 6);
    gtk_container_set_border_width(GTK_CONTAINER(box), 8);
    gtk_container_add(GTK_CONTAINER(frame), box);
    *inner = box;
    return frame;
}

// ---------------------------------------------------------------------------------------------

class AboutView {
public:
    AboutView(AboutDialogModel& model, GtkWindow* owner) : model_(model), owner_(owner) {}

    int run() {
        model_.initialise();
        window_ = gtk_window_new(GTK_WINDOW_TOPLEVEL);
        gtk_window_set_title(GTK_WINDOW(window_), model_.caption().c_str());
        gtk_window_set_modal(GTK_WINDOW(window_), TRUE);
        gtk_window_set_resizable(GTK_WINDOW(window_), FALSE);
        gtk_window_set_type_hint(GTK_WINDOW(window_), GDK_WINDOW_TYPE_HINT_DIALOG);
        if (owner_) {
            gtk_window_set_transient_for(GTK_WINDOW(window_), owner_);
            gtk_window_set_position(GTK_WINDOW(window_), GTK_WIN_POS_CENTER_ON_PARENT);
        } else {
            gtk_window_set_position(GTK_WINDOW(window_), GTK_WIN_POS_CENTER);
        }
        gtk_window_set_destroy_with_parent(GTK_WINDOW(window_), TRUE);

        GtkWidget* outer = gtk_box_new(GTK_ORIENTATION_VERTICAL, 8);
        gtk_container_set_border_width(GTK_CONTAINER(outer), 10);
        GtkWidget* lines = nullptr;
        GtkWidget* frame = framedBox("", 0, GTK_ORIENTATION_VERTICAL, &lines);
        gtk_box_set_spacing(GTK_BOX(lines), 2);
        for (size_t i = 0; i < model_.lines().size(); ++i) {
            GtkWidget* label = gtk_label_new(model_.lines()[i].c_str());
            gtk_label_set_justify(GTK_LABEL(label), GTK_JUSTIFY_CENTER);
            gtk_widget_set_halign(label, GTK_ALIGN_CENTER);
            gtk_widget_set_size_request(label, 300, -1);
            nameControl(label, 1072 + static_cast<int>(i));
            gtk_box_pack_start(GTK_BOX(lines), label, FALSE, FALSE, 0);
        }
        gtk_box_pack_start(GTK_BOX(outer), frame, TRUE, TRUE, 0);
        GtkWidget* ok = gtk_button_new_with_label("OK");
        nameControl(ok, kIdOk);
        gtk_widget_set_size_request(ok, 90, -1);
        gtk_widget_set_halign(ok, GTK_ALIGN_CENTER);
        gtk_widget_set_can_default(ok, TRUE);
        gtk_box_pack_start(GTK_BOX(outer), ok, FALSE, FALSE, 0);
        gtk_container_add(GTK_CONTAINER(window_), outer);

        g_signal_connect(ok, "clicked", G_CALLBACK(onOk), this);
        g_signal_connect(window_, "key-press-event", G_CALLBACK(onKeyPress), this);
        g_signal_connect(window_, "delete-event", G_CALLBACK(onDelete), this);

        gtk_window_set_default(GTK_WINDOW(window_), ok);
        gtk_widget_show_all(window_);
        gtk_widget_grab_focus(ok);
        loop_ = g_main_loop_new(nullptr, FALSE);
        announceShown(window_, true);
        // A termination signal closes the box as Esc would.
        TerminationWatch watch([](void* self) { static_cast<AboutView*>(self)->command(kIdCancel); }, this);
        g_main_loop_run(loop_);
        g_main_loop_unref(loop_);
        gtk_widget_destroy(window_);
        return model_.closeResult();
    }

private:
    void command(int id) {
        if (model_.command(id) == DialogAction::Close && g_main_loop_is_running(loop_)) g_main_loop_quit(loop_);
    }

    static void onOk(GtkButton*, gpointer self) { static_cast<AboutView*>(self)->command(kIdOk); }

    static gboolean onKeyPress(GtkWidget*, GdkEventKey* event, gpointer self) {
        auto* view = static_cast<AboutView*>(self);
        if (event->keyval == GDK_KEY_Escape) {
            view->command(kIdCancel);
            return TRUE;
        }
        if (isEnterKey(event->keyval)) {
            view->command(kIdOk);
            return TRUE;
        }
        return FALSE;
    }

    static gboolean onDelete(GtkWidget*, GdkEvent*, gpointer self) {
        static_cast<AboutView*>(self)->command(kIdCancel);
        return TRUE;
    }

    AboutDialogModel& model_;
    GtkWindow* owner_;
    GtkWidget* window_ = nullptr;
    GMainLoop* loop_ = nullptr;
};

// ---------------------------------------------------------------------------------------------

class ConfigView {
public:
    ConfigView(ConfigDialogModel& model, WindowHandle parent) : model_(model), parent_(parent) {}

    int run() {
        model_.initialise();
        build();
        sync(true);
        gtk_widget_show_all(window_);
        makeTransientFor(window_, parent_);
        // The first control that takes input gets the focus, as dialogs do.
        gtk_widget_grab_focus(model_.modeList().enabled ? combo_ : widgets_[kIdUseDesktop]);
        loop_ = g_main_loop_new(nullptr, FALSE);
        announceShown(window_, false);
        // A termination signal is Cancel: nothing is saved.
        TerminationWatch watch(
            [](void* self) {
                auto* view = static_cast<ConfigView*>(self);
                view->act(view->model_.command(kIdCancel));
            },
            this);
        g_main_loop_run(loop_);
        g_main_loop_unref(loop_);
        gtk_widget_destroy(window_);
        return model_.closeResult() == kIdOk ? kIdOk : kIdCancel;
    }

private:
    GtkWidget* addCheck(GtkWidget* box, int id) {
        GtkWidget* check = gtk_check_button_new_with_label("");
        nameControl(check, id);
        widgets_[id] = check;
        g_signal_connect(check, "toggled", G_CALLBACK(onToggled), this);
        gtk_box_pack_start(GTK_BOX(box), check, FALSE, FALSE, 0);
        return check;
    }

    GtkWidget* addButton(int id) {
        GtkWidget* button = gtk_button_new_with_label("");
        nameControl(button, id);
        widgets_[id] = button;
        g_signal_connect(button, "clicked", G_CALLBACK(onClicked), this);
        gtk_size_group_add_widget(buttonSizes_, button);
        return button;
    }

    GtkWidget* addLabel(int id) {
        GtkWidget* label = gtk_label_new("");
        nameControl(label, id);
        widgets_[id] = label;
        gtk_label_set_xalign(GTK_LABEL(label), 0.0f);
        return label;
    }

    GtkWidget* addSlider(int id, GtkWidget** store) {
        const SliderState& state = model_.slider(id);
        GtkAdjustment* adjustment = gtk_adjustment_new(state.position, state.minimum, state.maximum, 1, state.pageSize, 0);
        GtkWidget* scale = gtk_scale_new(GTK_ORIENTATION_HORIZONTAL, adjustment);
        gtk_scale_set_draw_value(GTK_SCALE(scale), FALSE);
        gtk_scale_set_digits(GTK_SCALE(scale), 0);
        gtk_range_set_round_digits(GTK_RANGE(scale), 0);
        gtk_widget_set_hexpand(scale, TRUE);
        gtk_widget_set_size_request(scale, 150, -1);
        nameControl(scale, id);
        g_signal_connect(scale, "change-value", G_CALLBACK(onChangeValue), this);
        *store = scale;
        return scale;
    }

    void build() {
        window_ = gtk_window_new(GTK_WINDOW_TOPLEVEL);
        gtk_window_set_modal(GTK_WINDOW(window_), TRUE);
        gtk_window_set_resizable(GTK_WINDOW(window_), FALSE);
        gtk_window_set_type_hint(GTK_WINDOW(window_), GDK_WINDOW_TYPE_HINT_DIALOG);
        gtk_window_set_position(GTK_WINDOW(window_), GTK_WIN_POS_CENTER);
        buttonSizes_ = gtk_size_group_new(GTK_SIZE_GROUP_HORIZONTAL);

        GtkWidget* grid = gtk_grid_new();
        gtk_grid_set_row_spacing(GTK_GRID(grid), 8);
        gtk_grid_set_column_spacing(GTK_GRID(grid), 8);
        gtk_container_set_border_width(GTK_CONTAINER(grid), 10);

        // Video mode.
        GtkWidget* video = nullptr;
        GtkWidget* videoFrame = framedBox("", kIdVideoGroup, GTK_ORIENTATION_VERTICAL, &video);
        widgets_[kIdVideoGroup] = videoFrame;
        combo_ = gtk_combo_box_text_new();
        nameControl(combo_, kIdModeList);
        g_signal_connect(combo_, "changed", G_CALLBACK(onComboChanged), this);
        gtk_box_pack_start(GTK_BOX(video), combo_, FALSE, FALSE, 0);
        addCheck(video, kIdUseDesktop);
        addCheck(video, kIdVSync);
        gtk_grid_attach(GTK_GRID(grid), videoFrame, 0, 0, 1, 1);

        // Options.
        GtkWidget* options = nullptr;
        GtkWidget* optionsFrame = framedBox("", kIdOptionsGroup, GTK_ORIENTATION_VERTICAL, &options);
        widgets_[kIdOptionsGroup] = optionsFrame;
        addCheck(options, kIdShowFps);
        addCheck(options, kIdMouseExit);
        addCheck(options, kIdShowClock);
        GtkWidget* radios = gtk_box_new(GTK_ORIENTATION_HORIZONTAL, 8);
        gtk_widget_set_margin_start(radios, 20);
        GtkWidget* radio12 = gtk_radio_button_new_with_label(nullptr, "");
        GtkWidget* radio24 = gtk_radio_button_new_with_label_from_widget(GTK_RADIO_BUTTON(radio12), "");
        nameControl(radio12, kIdRadio12);
        nameControl(radio24, kIdRadio24);
        widgets_[kIdRadio12] = radio12;
        widgets_[kIdRadio24] = radio24;
        g_signal_connect(radio12, "toggled", G_CALLBACK(onRadioToggled), this);
        g_signal_connect(radio24, "toggled", G_CALLBACK(onRadioToggled), this);
        gtk_box_pack_start(GTK_BOX(radios), radio12, FALSE, FALSE, 0);
        gtk_box_pack_start(GTK_BOX(radios), radio24, FALSE, FALSE, 0);
        gtk_box_pack_start(GTK_BOX(options), radios, FALSE, FALSE, 0);
        gtk_grid_attach(GTK_GRID(grid), optionsFrame, 1, 0, 1, 1);

        // The picture in a sunken frame.
        GtkWidget* pictureFrame = gtk_frame_new(nullptr);
        gtk_frame_set_shadow_type(GTK_FRAME(pictureFrame), GTK_SHADOW_IN);
        GdkPixbuf* pixbuf = loadBitmap(kDialogBitmapId);
        GtkWidget* picture = pixbuf ? gtk_image_new_from_pixbuf(pixbuf) : gtk_image_new();
        if (pixbuf) g_object_unref(pixbuf);
        gtk_widget_set_size_request(picture, kBitmapWidth, kBitmapHeight);
        gtk_container_add(GTK_CONTAINER(pictureFrame), picture);
        gtk_widget_set_halign(pictureFrame, GTK_ALIGN_CENTER);
        gtk_widget_set_valign(pictureFrame, GTK_ALIGN_CENTER);
        gtk_grid_attach(GTK_GRID(grid), pictureFrame, 2, 0, 1, 1);

        // Gamma.
        GtkWidget* gamma = nullptr;
        GtkWidget* gammaFrame = framedBox("", kIdGammaGroup, GTK_ORIENTATION_VERTICAL, &gamma);
        widgets_[kIdGammaGroup] = gammaFrame;
        GtkWidget* gammaRow = gtk_box_new(GTK_ORIENTATION_HORIZONTAL, 6);
        GtkWidget* brightness = addLabel(kIdBrightnessLabel);
        gtk_label_set_width_chars(GTK_LABEL(brightness), 17);
        gtk_box_pack_start(GTK_BOX(gammaRow), brightness, FALSE, FALSE, 0);
        gtk_box_pack_start(GTK_BOX(gammaRow), addSlider(kIdGammaSlider, &gammaSlider_), TRUE, TRUE, 0);
        gtk_box_pack_start(GTK_BOX(gamma), gammaRow, FALSE, FALSE, 0);
        addCheck(gamma, kIdDefGamma);
        gtk_grid_attach(GTK_GRID(grid), gammaFrame, 0, 1, 2, 1);

        // Sound.
        GtkWidget* sound = nullptr;
        GtkWidget* soundFrame = framedBox("", kIdSoundGroup, GTK_ORIENTATION_VERTICAL, &sound);
        widgets_[kIdSoundGroup] = soundFrame;
        GtkWidget* soundRow = gtk_box_new(GTK_ORIENTATION_HORIZONTAL, 6);
        GtkWidget* volume = addLabel(kIdVolumeLabel);
        gtk_label_set_width_chars(GTK_LABEL(volume), 13);
        gtk_box_pack_start(GTK_BOX(soundRow), volume, FALSE, FALSE, 0);
        gtk_box_pack_start(GTK_BOX(soundRow), addSlider(kIdVolumeSlider, &volumeSlider_), TRUE, TRUE, 0);
        gtk_box_pack_start(GTK_BOX(sound), soundRow, FALSE, FALSE, 0);
        GtkWidget* soundChecks = gtk_box_new(GTK_ORIENTATION_HORIZONTAL, 12);
        addCheck(soundChecks, kIdEnableMusic);
        addCheck(soundChecks, kIdEnableSfx);
        gtk_box_pack_start(GTK_BOX(sound), soundChecks, FALSE, FALSE, 0);
        gtk_grid_attach(GTK_GRID(grid), soundFrame, 2, 1, 1, 1);

        // Products.
        GtkWidget* products = nullptr;
        GtkWidget* productsFrame = framedBox("", kIdProductsGroup, GTK_ORIENTATION_HORIZONTAL, &products);
        widgets_[kIdProductsGroup] = productsFrame;
        GtkWidget* web = addLabel(kIdWebText);
        gtk_label_set_ellipsize(GTK_LABEL(web), PANGO_ELLIPSIZE_END);
        gtk_box_pack_start(GTK_BOX(products), web, TRUE, TRUE, 0);
        gtk_box_pack_start(GTK_BOX(products), addButton(kIdVisit), FALSE, FALSE, 0);
        gtk_box_pack_start(GTK_BOX(products), addButton(kIdAbout), FALSE, FALSE, 0);
        gtk_grid_attach(GTK_GRID(grid), productsFrame, 0, 2, 3, 1);

        // The dialog's own buttons.
        GtkWidget* buttons = gtk_box_new(GTK_ORIENTATION_HORIZONTAL, 8);
        GtkWidget* restore = gtk_button_new_with_label("");
        nameControl(restore, kIdRestoreDefaults);
        widgets_[kIdRestoreDefaults] = restore;
        g_signal_connect(restore, "clicked", G_CALLBACK(onClicked), this);
        gtk_box_pack_start(GTK_BOX(buttons), restore, FALSE, FALSE, 0);
        GtkWidget* cancel = addButton(kIdCancel);
        GtkWidget* ok = addButton(kIdOk);
        gtk_box_pack_end(GTK_BOX(buttons), cancel, FALSE, FALSE, 0);
        gtk_box_pack_end(GTK_BOX(buttons), ok, FALSE, FALSE, 0);
        gtk_widget_set_margin_end(buttons, 8);  // line up with the buttons inside the frame
        // Why OK could not save, above the buttons; shown only while there is something to say.
        GtkWidget* failure = addLabel(kIdSaveFailure);
        gtk_label_set_line_wrap(GTK_LABEL(failure), TRUE);
        gtk_label_set_max_width_chars(GTK_LABEL(failure), 80);
        gtk_label_set_selectable(GTK_LABEL(failure), TRUE);
        gtk_widget_set_no_show_all(failure, TRUE);
        gtk_grid_attach(GTK_GRID(grid), failure, 0, 3, 3, 1);
        gtk_grid_attach(GTK_GRID(grid), buttons, 0, 4, 3, 1);

        gtk_widget_set_can_default(ok, TRUE);
        gtk_window_set_default(GTK_WINDOW(window_), ok);
        gtk_container_add(GTK_CONTAINER(window_), grid);
        g_object_unref(buttonSizes_);

        g_signal_connect(window_, "key-press-event", G_CALLBACK(onKeyPress), this);
        g_signal_connect(window_, "delete-event", G_CALLBACK(onDelete), this);
    }

    // Widgets from the model. Signals raised by these updates are ignored (syncing_).
    void sync(bool sliders) {
        syncing_ = true;
        gtk_window_set_title(GTK_WINDOW(window_), model_.caption().c_str());
        for (auto& [id, widget] : widgets_) {
            const ControlState& state = model_.control(id);
            if (GTK_IS_FRAME(widget)) {
                gtk_frame_set_label(GTK_FRAME(widget), state.text.c_str());
                continue;
            }
            if (GTK_IS_LABEL(widget)) {
                gtk_label_set_text(GTK_LABEL(widget), state.text.c_str());
                if (id == kIdSaveFailure) gtk_widget_set_visible(widget, !state.text.empty());
            } else if (GTK_IS_BUTTON(widget)) {
                gtk_button_set_label(GTK_BUTTON(widget), state.text.c_str());
            }
            if (GTK_IS_TOGGLE_BUTTON(widget) && state.checked) {
                gtk_toggle_button_set_active(GTK_TOGGLE_BUTTON(widget), TRUE);
            } else if (GTK_IS_CHECK_BUTTON(widget) && !GTK_IS_RADIO_BUTTON(widget)) {
                gtk_toggle_button_set_active(GTK_TOGGLE_BUTTON(widget), FALSE);
            }
            gtk_widget_set_sensitive(widget, state.enabled);
        }
        const ModeListState& list = model_.modeList();
        if (list.entries != shownEntries_) {
            gtk_combo_box_text_remove_all(GTK_COMBO_BOX_TEXT(combo_));
            for (const std::string& entry : list.entries) gtk_combo_box_text_append_text(GTK_COMBO_BOX_TEXT(combo_), entry.c_str());
            shownEntries_ = list.entries;
        }
        gtk_combo_box_set_active(GTK_COMBO_BOX(combo_), list.selected);
        gtk_widget_set_sensitive(combo_, list.enabled);
        for (GtkWidget* scale : {volumeSlider_, gammaSlider_}) {
            const SliderState& state = model_.slider(controlId(scale));
            if (sliders) gtk_range_set_value(GTK_RANGE(scale), state.position);
            gtk_widget_set_sensitive(scale, state.enabled);
        }
        syncing_ = false;
    }

    void act(DialogAction action) {
        switch (action) {
        case DialogAction::Handled:
            sync(true);
            break;
        case DialogAction::SaveFailed:
            sync(false);
            break;
        case DialogAction::Close:
            if (g_main_loop_is_running(loop_)) g_main_loop_quit(loop_);
            break;
        case DialogAction::OpenWebPage:
            if (!model_.webAddress().empty()) {
                GError* error = nullptr;
                // A desktop without a URL handler simply opens nothing.
                if (!gtk_show_uri_on_window(GTK_WINDOW(window_), model_.webAddress().c_str(), GDK_CURRENT_TIME, &error) && error) {
                    g_error_free(error);
                }
            }
            break;
        case DialogAction::OpenAbout: {
            AboutDialogModel about(model_.services());
            AboutView(about, GTK_WINDOW(window_)).run();
            break;
        }
        case DialogAction::NotHandled:
            break;
        }
    }

    static void onToggled(GtkToggleButton* button, gpointer self) {
        auto* view = static_cast<ConfigView*>(self);
        if (view->syncing_) return;
        view->act(view->model_.command(controlId(button)));
    }

    static void onClicked(GtkButton* button, gpointer self) {
        auto* view = static_cast<ConfigView*>(self);
        if (view->syncing_) return;
        view->act(view->model_.command(controlId(button)));
    }

    static void onRadioToggled(GtkToggleButton* button, gpointer self) {
        auto* view = static_cast<ConfigView*>(self);
        if (view->syncing_ || !gtk_toggle_button_get_active(button)) return;
        view->model_.chooseTimeStyle(controlId(button) == kIdRadio12);
    }

    static void onComboChanged(GtkComboBox* combo, gpointer self) {
        auto* view = static_cast<ConfigView*>(self);
        if (view->syncing_) return;
        view->model_.chooseMode(gtk_combo_box_get_active(combo));
    }

    // GTK's scroll types stand for the trackbar notifications: a drag or a click that jumps is
    // thumb tracking, page steps are page steps, arrow keys are line steps, Home/End top/bottom.
    static SliderCode sliderCode(GtkScrollType scroll) {
        switch (scroll) {
        case GTK_SCROLL_JUMP: return SliderCode::ThumbTrack;
        case GTK_SCROLL_PAGE_BACKWARD:
        case GTK_SCROLL_PAGE_UP:
        case GTK_SCROLL_PAGE_LEFT: return SliderCode::PageUp;
        case GTK_SCROLL_PAGE_FORWARD:
        case GTK_SCROLL_PAGE_DOWN:
        case GTK_SCROLL_PAGE_RIGHT: return SliderCode::PageDown;
        case GTK_SCROLL_STEP_BACKWARD:
        case GTK_SCROLL_STEP_UP:
        case GTK_SCROLL_STEP_LEFT: return SliderCode::LineUp;
        case GTK_SCROLL_STEP_FORWARD:
        case GTK_SCROLL_STEP_DOWN:
        case GTK_SCROLL_STEP_RIGHT: return SliderCode::LineDown;
        case GTK_SCROLL_START: return SliderCode::Top;
        case GTK_SCROLL_END: return SliderCode::Bottom;
        default: return SliderCode::ThumbPosition;
        }
    }

    // GTK reports a wheel step as a jump; to the dialog it is a line step like an arrow key.
    static bool fromWheel() {
        GdkEvent* event = gtk_get_current_event();
        bool wheel = event && event->type == GDK_SCROLL;
        if (event) gdk_event_free(event);
        return wheel;
    }

    static gboolean onChangeValue(GtkRange* range, GtkScrollType scroll, gdouble value, gpointer self) {
        auto* view = static_cast<ConfigView*>(self);
        if (view->syncing_) return FALSE;
        view->model_.moveSlider(controlId(range), static_cast<int>(std::lround(value)));
        view->model_.sliderNotification(fromWheel() ? SliderCode::LineDown : sliderCode(scroll));
        view->sync(false);
        return FALSE;  // GTK moves the thumb itself
    }

    static gboolean onDelete(GtkWidget*, GdkEvent*, gpointer self) {
        auto* view = static_cast<ConfigView*>(self);
        view->act(view->model_.command(kIdCancel));
        return TRUE;
    }

    static gboolean onKeyPress(GtkWidget* window, GdkEventKey* event, gpointer self) {
        auto* view = static_cast<ConfigView*>(self);
        if (event->keyval == GDK_KEY_Escape) {
            view->act(view->model_.command(kIdCancel));
            return TRUE;
        }
        if (isEnterKey(event->keyval)) {
            // Enter presses a focused push button; anywhere else it is OK.
            GtkWidget* focus = gtk_window_get_focus(GTK_WINDOW(window));
            if (focus && GTK_IS_BUTTON(focus) && !GTK_IS_TOGGLE_BUTTON(focus)) return FALSE;
            view->act(view->model_.command(kIdOk));
            return TRUE;
        }
        return FALSE;
    }

    ConfigDialogModel& model_;
    WindowHandle parent_;
    GtkWidget* window_ = nullptr;
    GtkWidget* combo_ = nullptr;
    GtkWidget* volumeSlider_ = nullptr;
    GtkWidget* gammaSlider_ = nullptr;
    GtkSizeGroup* buttonSizes_ = nullptr;
    std::map<int, GtkWidget*> widgets_;
    std::vector<std::string> shownEntries_;
    GMainLoop* loop_ = nullptr;
    bool syncing_ = false;
};

}  // namespace

int runConfigDialog(WindowHandle parentWindow, ScreensaverSettings& live, const ScreensaverSettings& defaults,
                    DialogServices services) {
    if (!ensureGtk()) return kIdCancel;
    ConfigDialogModel model(live, defaults, std::move(services));
    return ConfigView(model, parentWindow).run();
}

int runConfigDialog(WindowHandle parentWindow) {
    return runConfigDialog(parentWindow, liveSettings(), defaultSettings(), standardDialogServices());
}

void setDialogShownHook(std::function<void(GtkWidget* window, bool about)> hook) { shownHook() = std::move(hook); }

GtkWidget* findDialogControl(GtkWidget* window, int id) {
    if (!window) return nullptr;
    FindRequest request;
    char name[32];
    std::snprintf(name, sizeof name, "control-%d", id);
    request.name = name;
    findNamed(window, &request);
    return request.found;
}

}  // namespace ravelin
