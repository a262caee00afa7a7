// Events from a file the test appends to, played from a main-loop timer.
#include "test_hook.h"

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <memory>

#include "background.h"

namespace txads::dialog {
namespace {

constexpr guint kPollMs = 25;

struct Hook {
  GtkWidget* window;
  TestHook dialog;
  std::string path;
  std::streamoff offset = 0;
  std::string partial;
  guint timer = 0;
};

void send_key(GtkWidget* window, guint keyval, guint modifiers = 0) {
  GdkWindow* target = gtk_widget_get_window(window);
  if (target == nullptr) return;
  GdkDisplay* display = gdk_window_get_display(target);
  GdkDevice* keyboard = gdk_seat_get_keyboard(gdk_display_get_default_seat(display));
  GdkKeymapKey* keys = nullptr;
  gint count = 0;
  guint16 keycode = 0;
  guint state = 0;
  if (gdk_keymap_get_entries_for_keyval(gdk_keymap_get_for_display(display), keyval, &keys,
                                        &count)) {
    keycode = static_cast<guint16>(keys[0].keycode);
    if (keys[0].level == 1) state = GDK_SHIFT_MASK;
    g_free(keys);
  }
  for (const GdkEventType type : {GDK_KEY_PRESS, GDK_KEY_RELEASE}) {
    GdkEvent* event = gdk_event_new(type);
    event->key.window = GDK_WINDOW(g_object_ref(target));
    event->key.send_event = TRUE;
    event->key.time = GDK_CURRENT_TIME;
    event->key.keyval = keyval;
    event->key.state = state | modifiers;
    event->key.hardware_keycode = keycode;
    gdk_event_set_device(event, keyboard);
    gtk_main_do_event(event);
    gdk_event_free(event);
  }
}

void write_state(const Hook& hook) {
  std::ofstream out(hook.path + ".state", std::ios::app);
  out << hook.dialog.state() << '\n';
}

void play(Hook& hook, const std::string& line) {
  const size_t space = line.find(' ');
  const std::string name = line.substr(0, space);
  const std::string argument = space == std::string::npos ? "" : line.substr(space + 1);
  if (name == "key") {
    guint keyval = 0;
    GdkModifierType modifiers{};
    gtk_accelerator_parse(argument.c_str(), &keyval, &modifiers);
    if (keyval == 0) keyval = gdk_keyval_from_name(argument.c_str());
    send_key(hook.window, keyval, modifiers);
  } else if (name == "type") {
    const char* p = argument.c_str();
    for (; *p != '\0'; p = g_utf8_next_char(p)) {
      send_key(hook.window, gdk_unicode_to_keyval(g_utf8_get_char(p)));
    }
  } else if (name == "state") {
    write_state(hook);
  } else if (!hook.dialog.play(name, argument)) {
    std::fprintf(stderr, "txads-dialog: unknown test event '%s'\n", line.c_str());
  }
}

// One event a tick, and none while a read is pending.
gboolean on_tick(gpointer data) {
  auto& hook = *static_cast<Hook*>(data);
  if (background_pending() > 0) return G_SOURCE_CONTINUE;
  if (hook.partial.find('\n') == std::string::npos) {
    std::ifstream in(hook.path, std::ios::binary);
    in.seekg(hook.offset);
    std::string more((std::istreambuf_iterator<char>(in)), {});
    hook.offset += static_cast<std::streamoff>(more.size());
    hook.partial += more;
  }
  const size_t end = hook.partial.find('\n');
  if (end == std::string::npos) return G_SOURCE_CONTINUE;
  const std::string line = hook.partial.substr(0, end);
  hook.partial.erase(0, end + 1);
  play(hook, line);
  return G_SOURCE_CONTINUE;
}

// FILE.shown appears when the window does, with the number of reads still
// pending then: the test times it and sees that it did not wait for them.
gboolean on_map(GtkWidget*, GdkEvent*, gpointer data) {
  std::ofstream(static_cast<Hook*>(data)->path + ".shown") << background_pending() << '\n';
  return FALSE;
}

void on_destroy(GtkWidget*, gpointer data) {
  std::unique_ptr<Hook> hook(static_cast<Hook*>(data));
  g_source_remove(hook->timer);
}

}  // namespace

void start_test_hook(GtkWidget* window, TestHook dialog) {
  const char* path = std::getenv("TXADS_DIALOG_EVENTS");
  if (path == nullptr || *path == '\0') return;
  auto* hook = new Hook{window, std::move(dialog), path, 0, {}, 0};
  hook->timer = g_timeout_add(kPollMs, on_tick, hook);
  g_signal_connect(window, "map-event", G_CALLBACK(on_map), hook);
  g_signal_connect(window, "destroy", G_CALLBACK(on_destroy), hook);
}

std::string focus_name(GtkWidget* window) {
  GtkWidget* focus = gtk_window_get_focus(GTK_WINDOW(window));
  if (focus == nullptr) return "-";
  const char* name = atk_object_get_name(gtk_widget_get_accessible(focus));
  return name != nullptr && *name != '\0' ? name : G_OBJECT_TYPE_NAME(focus);
}

}  // namespace txads::dialog
