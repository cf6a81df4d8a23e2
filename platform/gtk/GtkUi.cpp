// The main window and message boxes over GTK 3.
#include <gtk/gtk.h>

#include <algorithm>
#include <string>

#include "platform/Ui.h"

namespace zentavo {
namespace {

class GtkUi final : public Ui {
 public:
  bool WindowIsUp() const override { return window_ != nullptr; }

  void RunMainWindow(const WindowDesign& design) override {
    design_ = &design;
    window_ = gtk_window_new(GTK_WINDOW_TOPLEVEL);
    gtk_window_set_title(GTK_WINDOW(window_), design.caption.c_str());
    gtk_widget_set_name(window_, "TForm1");
    gtk_window_set_default_size(GTK_WINDOW(window_), design.width, design.height);
    PlaceOnScreen(design);
    ApplyFont(design);

    GtkWidget* fixed = gtk_fixed_new();
    gtk_container_add(GTK_CONTAINER(window_), fixed);
    GList* focusChain = nullptr;
    for (const WindowButton& b : design.buttons) {
      GtkWidget* button = gtk_button_new_with_label(b.caption.c_str());
      gtk_widget_set_name(button, b.name.c_str());
      gtk_widget_set_size_request(button, b.width, b.height);
      gtk_fixed_put(GTK_FIXED(fixed), button, b.left, b.top);
      g_signal_connect(button, "clicked", G_CALLBACK(&GtkUi::OnClicked),
                       const_cast<WindowButton*>(&b));
      focusChain = g_list_append(focusChain, button);
    }
    // The tab order is the design's, whatever the geometry says.
    G_GNUC_BEGIN_IGNORE_DEPRECATIONS
    gtk_container_set_focus_chain(GTK_CONTAINER(fixed), focusChain);
    G_GNUC_END_IGNORE_DEPRECATIONS
    g_list_free(focusChain);

    g_signal_connect(window_, "destroy", G_CALLBACK(&GtkUi::OnDestroy), this);
    g_signal_connect(window_, "map", G_CALLBACK(&GtkUi::OnMap), this);
    gtk_widget_show_all(window_);
    gtk_main();
    window_ = nullptr;
    design_ = nullptr;
  }

  void CloseMainWindow() override {
    if (window_ != nullptr) gtk_widget_destroy(window_);
  }

  void ShowMessage(const std::string& text, const std::string& caption, MessageKind kind) override {
    GtkMessageType type = kind == MessageKind::Error     ? GTK_MESSAGE_ERROR
                          : kind == MessageKind::Warning ? GTK_MESSAGE_WARNING
                                                         : GTK_MESSAGE_INFO;
    GtkWidget* box = gtk_message_dialog_new(window_ ? GTK_WINDOW(window_) : nullptr, GTK_DIALOG_MODAL,
                                            type, GTK_BUTTONS_OK, "%s", text.c_str());
    gtk_window_set_title(GTK_WINDOW(box), caption.c_str());
    // Screen readers (and our window tests) name the box by its caption, not
    // by GTK's generic "Error".
    atk_object_set_name(gtk_widget_get_accessible(box), caption.c_str());
    gtk_dialog_run(GTK_DIALOG(box));
    gtk_widget_destroy(box);
  }

  void ProcessEvents() override {
    while (gtk_events_pending()) gtk_main_iteration_do(FALSE);
  }

  void ShowProgress(const std::string& caption) override {
    HideProgress();
    cancelled_ = false;
    progress_ = gtk_window_new(GTK_WINDOW_TOPLEVEL);
    gtk_window_set_title(GTK_WINDOW(progress_), caption.c_str());
    atk_object_set_name(gtk_widget_get_accessible(progress_), caption.c_str());
    if (window_ != nullptr) gtk_window_set_transient_for(GTK_WINDOW(progress_), GTK_WINDOW(window_));
    gtk_window_set_position(GTK_WINDOW(progress_), GTK_WIN_POS_CENTER_ON_PARENT);
    gtk_window_set_default_size(GTK_WINDOW(progress_), 280, -1);
    GtkWidget* box = gtk_box_new(GTK_ORIENTATION_VERTICAL, 8);
    gtk_container_set_border_width(GTK_CONTAINER(box), 10);
    progressLabel_ = gtk_label_new("");
    GtkWidget* cancel = gtk_button_new_with_label("Cancel");
    g_signal_connect(cancel, "clicked", G_CALLBACK(&GtkUi::OnCancel), this);
    // Closing the progress window counts as cancel; it is destroyed by us.
    g_signal_connect(progress_, "delete-event", G_CALLBACK(&GtkUi::OnProgressDelete), this);
    gtk_box_pack_start(GTK_BOX(box), progressLabel_, FALSE, FALSE, 0);
    gtk_box_pack_start(GTK_BOX(box), cancel, FALSE, FALSE, 0);
    gtk_container_add(GTK_CONTAINER(progress_), box);
    gtk_widget_show_all(progress_);
    ProcessEvents();
  }

  void UpdateProgress(const std::string& text) override {
    if (progressLabel_ != nullptr) gtk_label_set_text(GTK_LABEL(progressLabel_), text.c_str());
    ProcessEvents();
  }

  void HideProgress() override {
    if (progress_ != nullptr) gtk_widget_destroy(progress_);
    progress_ = nullptr;
    progressLabel_ = nullptr;
  }

  bool ProgressCancelled() const override { return cancelled_; }

  std::optional<std::string> AskPassword(const std::string& prompt) override {
    GtkWidget* box = gtk_dialog_new_with_buttons(prompt.c_str(), window_ ? GTK_WINDOW(window_) : nullptr,
                                                 GTK_DIALOG_MODAL, "_Cancel", GTK_RESPONSE_CANCEL, "_OK",
                                                 GTK_RESPONSE_OK, nullptr);
    GtkWidget* entry = gtk_entry_new();
    gtk_entry_set_visibility(GTK_ENTRY(entry), FALSE);
    gtk_entry_set_activates_default(GTK_ENTRY(entry), TRUE);
    gtk_dialog_set_default_response(GTK_DIALOG(box), GTK_RESPONSE_OK);
    gtk_container_add(GTK_CONTAINER(gtk_dialog_get_content_area(GTK_DIALOG(box))), entry);
    gtk_widget_show_all(box);
    std::optional<std::string> password;
    if (gtk_dialog_run(GTK_DIALOG(box)) == GTK_RESPONSE_OK) password = gtk_entry_get_text(GTK_ENTRY(entry));
    gtk_widget_destroy(box);
    return password;
  }

 private:
  // Keeps the designed position, but never leaves the window off the screen
  // of a smaller monitor.
  void PlaceOnScreen(const WindowDesign& design) {
    int left = design.left, top = design.top;
    GdkDisplay* display = gdk_display_get_default();
    GdkMonitor* monitor = display ? gdk_display_get_primary_monitor(display) : nullptr;
    if (monitor == nullptr && display != nullptr) monitor = gdk_display_get_monitor(display, 0);
    if (monitor != nullptr) {
      GdkRectangle area;
      gdk_monitor_get_workarea(monitor, &area);
      left = std::clamp(left, area.x, std::max(area.x, area.x + area.width - design.width));
      top = std::clamp(top, area.y, std::max(area.y, area.y + area.height - design.height));
    }
    gtk_window_move(GTK_WINDOW(window_), left, top);
  }

  void ApplyFont(const WindowDesign& design) {
    std::string css = "#TForm1, #TForm1 * { font-family: \"" + design.fontName +
                      "\", \"Liberation Sans\", sans-serif; font-size: " + std::to_string(std::abs(design.fontHeight)) +
                      "px; }"
                    // Buttons keep their designed size instead of the theme's padding.
                    "#TForm1 button { padding: 0px 2px; min-height: 0px; min-width: 0px; }";
    GtkCssProvider* provider = gtk_css_provider_new();
    gtk_css_provider_load_from_data(provider, css.c_str(), -1, nullptr);
    gtk_style_context_add_provider_for_screen(gtk_widget_get_screen(window_),
                                              GTK_STYLE_PROVIDER(provider),
                                              GTK_STYLE_PROVIDER_PRIORITY_APPLICATION);
    g_object_unref(provider);
  }

  // Jobs run from the event loop, not inside the click's signal emission: a job
  // shows modal boxes, and a click that came from an accessibility request
  // must be answered before the box can be read.
  static void OnClicked(GtkButton*, gpointer data) { g_idle_add(&GtkUi::RunClickHandler, data); }

  static gboolean RunClickHandler(gpointer data) {
    const auto* button = static_cast<const WindowButton*>(data);
    if (button->onClick) button->onClick();
    return G_SOURCE_REMOVE;
  }

  static void OnCancel(GtkButton*, gpointer data) { static_cast<GtkUi*>(data)->cancelled_ = true; }
  static gboolean OnProgressDelete(GtkWidget*, GdkEvent*, gpointer data) {
    static_cast<GtkUi*>(data)->cancelled_ = true;
    return TRUE;
  }

  static void OnDestroy(GtkWidget*, gpointer data) {
    static_cast<GtkUi*>(data)->window_ = nullptr;
    gtk_main_quit();
  }

  // The show handler runs once the window is on screen, from the event loop,
  // so a job it starts can already show progress and message boxes.
  static void OnMap(GtkWidget* widget, gpointer data) {
    g_signal_handlers_disconnect_by_func(widget, reinterpret_cast<gpointer>(&GtkUi::OnMap), data);
    g_idle_add(&GtkUi::RunShowHandler, data);
  }

  static gboolean RunShowHandler(gpointer data) {
    auto* self = static_cast<GtkUi*>(data);
    if (self->design_ != nullptr && self->design_->onShow) self->design_->onShow();
    return G_SOURCE_REMOVE;
  }

  GtkWidget* window_ = nullptr;
  const WindowDesign* design_ = nullptr;
  GtkWidget* progress_ = nullptr;
  GtkWidget* progressLabel_ = nullptr;
  bool cancelled_ = false;
};

}  // namespace

}  // namespace zentavo

// The window module's one exported entry: the GTK interface, or null when no
// display can be opened.
extern "C" __attribute__((visibility("default"))) zentavo::Ui* zentavo_gtk_ui(const char* title) {
  // Numbers and dates are formatted by our own code; the process locale must
  // stay "C" whatever the desktop's language.
  gtk_disable_setlocale();
  // Named before GTK starts, so the accessibility bridge and the desktop
  // pick the title up.
  g_set_application_name(title);
  g_set_prgname(title);
  if (!gtk_init_check(nullptr, nullptr)) return nullptr;
  return new zentavo::GtkUi();
}
