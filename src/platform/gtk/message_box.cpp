#include "platform/gtk/message_box.h"

#include <glib-unix.h>
#include <gtk/gtk.h>

#include "platform/linux/termination.h"

namespace ravelin {

namespace {

gboolean terminationArrived(gint, GIOCondition, gpointer watch) {
    static_cast<TerminationWatch*>(watch)->fire();
    return G_SOURCE_REMOVE;  // the descriptor stays readable: once is enough
}

}  // namespace

bool ensureGtk() {
    static const bool ready = [] {
        gtk_disable_setlocale();
        return gtk_init_check(nullptr, nullptr) != FALSE;
    }();
    return ready;
}

TerminationWatch::TerminationWatch(void (*onTerminate)(void* context), void* context)
    : onTerminate_(onTerminate), context_(context) {
    if (terminationFd() >= 0)
        source_ = g_unix_fd_add_full(G_PRIORITY_HIGH, terminationFd(), G_IO_IN, terminationArrived, this, nullptr);
}

TerminationWatch::~TerminationWatch() {
    if (source_) g_source_remove(source_);
}

void TerminationWatch::fire() {
    source_ = 0;  // the source ends with this call
    onTerminate_(context_);
}

bool showMessageBox(const std::string& text, const std::string& caption) {
    if (!ensureGtk()) return false;
    GtkWidget* box = gtk_message_dialog_new(nullptr, GTK_DIALOG_MODAL, GTK_MESSAGE_INFO, GTK_BUTTONS_OK, "%s", text.c_str());
    gtk_window_set_title(GTK_WINDOW(box), caption.c_str());
    gtk_window_set_keep_above(GTK_WINDOW(box), TRUE);
    {
        TerminationWatch watch([](void* dialog) { gtk_dialog_response(GTK_DIALOG(dialog), GTK_RESPONSE_OK); }, box);
        if (!terminationRequested()) gtk_dialog_run(GTK_DIALOG(box));
    }
    gtk_widget_destroy(box);
    while (gtk_events_pending()) gtk_main_iteration_do(FALSE);
    return true;
}

}  // namespace ravelin
