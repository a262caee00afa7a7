// The container browser's window: the find field, the tree (or, while a find
// text is given, the containers found), the system switch and the path line.
// The directory is read in the background from the first moment on, so the
// window shows at once and Cancel always works.
#include "container_browser.h"

#include <memory>

#include "background.h"
#include "browser_tree.h"
#include "dialog_window.h"
#include "dn_display.h"
#include "test_hook.h"
#include "translation.h"

namespace txads::dialog {
namespace {

constexpr size_t kMostHits = 50;
// The hint row that ends a cut-off list has no dn.
enum HitColumn { kHitMarkup, kHitDn, kHitName, kHitColumnCount };

struct Browser {
  explicit Browser(DirectoryReader& r) : reader(r), tree(r) {}
  DirectoryReader& reader;
  BrowserTree tree;
  DialogWindow window;
  GtkEntry* find = nullptr;
  GtkStack* pages = nullptr;
  GtkListStore* hits = nullptr;
  GtkTreeView* hit_view = nullptr;
  GtkLabel* hit_status = nullptr;
  GtkToggleButton* system = nullptr;
  GtkLabel* path = nullptr;
  bool ready = false;  // the reader has read the forest
  Status failure;      // why the directory could not be read at all
  unsigned find_generation = 0;
};

void show_path(Browser& b) {
  const std::string dn = b.tree.selected_dn();
  gtk_label_set_text(b.path, dn.empty() ? _("No container selected") : path_of(dn).c_str());
  allow_ok(b.window, !dn.empty());
}

void show_hits(Browser& b, const std::string& text, Status status,
               const std::vector<DirectoryNode>& nodes, bool more) {
  gtk_list_store_clear(b.hits);
  for (const auto& node : nodes) {
    gchar* markup =
        g_markup_printf_escaped("<b>%s</b>\n<small><span alpha=\"65%%\">%s</span></small>",
                                node.name.c_str(), path_of(node.dn).c_str());
    gtk_list_store_insert_with_values(b.hits, nullptr, -1, kHitMarkup, markup, kHitDn,
                                      node.dn.c_str(), kHitName, node.name.c_str(), -1);
    g_free(markup);
  }
  if (more) {
    gchar* hint =
        g_strdup_printf(_("More than %zu containers match; type more of the name"), kMostHits);
    gchar* markup = g_markup_printf_escaped("<i><span alpha=\"65%%\">%s</span></i>", hint);
    gtk_list_store_insert_with_values(b.hits, nullptr, -1, kHitMarkup, markup, kHitName, hint, -1);
    g_free(markup);
    g_free(hint);
  }
  gchar* line = nullptr;
  if (status.failed()) {
    line = g_strdup_printf(_("Cannot search the directory: %s"), describe(status).c_str());
  } else if (more) {
    line = g_strdup_printf(_("More than %zu matches"), kMostHits);
  } else if (nodes.empty()) {
    line = g_strdup_printf(_("No container matches \u201c%s\u201d"), text.c_str());
  } else {
    line = g_strdup_printf(ngettext("%zu match", "%zu matches", nodes.size()), nodes.size());
  }
  gtk_label_set_text(b.hit_status, line);
  g_free(line);
}

void start_find(Browser& b) {
  const std::string text = gtk_entry_get_text(b.find);
  gtk_stack_set_visible_child_name(b.pages, text.empty() ? "tree" : "hits");
  const unsigned generation = ++b.find_generation;
  gtk_list_store_clear(b.hits);
  if (text.empty() || !b.ready) return;
  gtk_label_set_text(b.hit_status, _("Searching the directory\u2026"));
  struct Found {
    Status status;
    std::vector<DirectoryNode> nodes;
    bool more = false;
  };
  auto found = std::make_shared<Found>();
  const bool advanced = gtk_toggle_button_get_active(b.system);
  run_in_background(
      [reader = &b.reader, text, advanced, found] {
        found->status =
            reader->find_containers(text, advanced, kMostHits, found->nodes, found->more);
      },
      [&b, text, generation, found] {
        if (generation == b.find_generation) {
          show_hits(b, text, found->status, found->nodes, found->more);
        }
      });
}

std::string hit_dn(Browser& b, GtkTreeIter* iter) {
  gchar* dn = nullptr;
  gtk_tree_model_get(GTK_TREE_MODEL(b.hits), iter, kHitDn, &dn, -1);
  const std::string text = dn != nullptr ? dn : "";
  g_free(dn);
  return text;
}

// Shows the chosen hit (the one under the cursor, else the first) in the tree.
void reveal_hit(Browser& b) {
  GtkTreeIter iter;
  if (!gtk_tree_selection_get_selected(gtk_tree_view_get_selection(b.hit_view), nullptr, &iter) &&
      !gtk_tree_model_get_iter_first(GTK_TREE_MODEL(b.hits), &iter)) {
    return;
  }
  const std::string target = hit_dn(b, &iter);
  if (target.empty()) return;      // the hint row
  gtk_entry_set_text(b.find, "");  // back to the tree
  gtk_widget_grab_focus(GTK_WIDGET(b.tree.view()));
  b.tree.reveal(target);
}

// Escape with a find text clears it first; only then does it cancel.
gboolean on_window_key(GtkWidget*, GdkEventKey* event, gpointer data) {
  auto& b = *static_cast<Browser*>(data);
  if (event->keyval != GDK_KEY_Escape || *gtk_entry_get_text(b.find) == '\0') return FALSE;
  gtk_entry_set_text(b.find, "");
  gtk_widget_grab_focus(GTK_WIDGET(b.find));
  return TRUE;
}

gboolean on_find_key(GtkWidget*, GdkEventKey* event, gpointer data) {
  auto& b = *static_cast<Browser*>(data);
  const bool hits = *gtk_entry_get_text(b.find) != '\0';
  switch (event->keyval) {
    case GDK_KEY_Down:
    case GDK_KEY_KP_Down: {
      GtkTreeView* view = hits ? b.hit_view : b.tree.view();
      gtk_widget_grab_focus(GTK_WIDGET(view));
      return TRUE;
    }
    case GDK_KEY_Return:
    case GDK_KEY_KP_Enter:
      if (hits) reveal_hit(b);
      return TRUE;
    default:
      return FALSE;
  }
}

// Up on the first hit goes back to the find field.
gboolean on_hit_key(GtkWidget*, GdkEventKey* event, gpointer data) {
  auto& b = *static_cast<Browser*>(data);
  if (event->keyval != GDK_KEY_Up && event->keyval != GDK_KEY_KP_Up) return FALSE;
  GtkTreePath* path = nullptr;
  gtk_tree_view_get_cursor(b.hit_view, &path, nullptr);
  const bool top = path == nullptr || gtk_tree_path_get_indices(path)[0] == 0;
  gtk_tree_path_free(path);
  if (top) gtk_widget_grab_focus(GTK_WIDGET(b.find));
  return top;
}

GtkWidget* scrolled(GtkWidget* child) {
  GtkWidget* scroll = gtk_scrolled_window_new(nullptr, nullptr);
  gtk_scrolled_window_set_shadow_type(GTK_SCROLLED_WINDOW(scroll), GTK_SHADOW_IN);
  gtk_scrolled_window_set_policy(GTK_SCROLLED_WINDOW(scroll), GTK_POLICY_AUTOMATIC,
                                 GTK_POLICY_AUTOMATIC);
  gtk_container_add(GTK_CONTAINER(scroll), child);
  return scroll;
}

GtkWidget* new_hit_page(Browser& b) {
  b.hits = gtk_list_store_new(kHitColumnCount, G_TYPE_STRING, G_TYPE_STRING, G_TYPE_STRING);
  GtkWidget* view = gtk_tree_view_new_with_model(GTK_TREE_MODEL(b.hits));
  g_object_unref(b.hits);
  b.hit_view = GTK_TREE_VIEW(view);
  gtk_tree_view_set_headers_visible(b.hit_view, FALSE);
  gtk_tree_view_set_enable_search(b.hit_view, FALSE);
  atk_object_set_name(gtk_widget_get_accessible(view), _("Containers found"));
  GtkCellRenderer* text = gtk_cell_renderer_text_new();
  g_object_set(text, "ellipsize", PANGO_ELLIPSIZE_MIDDLE, nullptr);
  gtk_tree_view_append_column(b.hit_view, gtk_tree_view_column_new_with_attributes(
                                              "", text, "markup", kHitMarkup, nullptr));
  g_signal_connect_swapped(view, "row-activated",
                           G_CALLBACK(+[](Browser* browser) { reveal_hit(*browser); }), &b);
  gtk_tree_selection_set_select_function(
      gtk_tree_view_get_selection(b.hit_view),
      +[](GtkTreeSelection*, GtkTreeModel*, GtkTreePath* path, gboolean,
          gpointer data) -> gboolean {
        auto& browser = *static_cast<Browser*>(data);
        GtkTreeIter iter;
        return gtk_tree_model_get_iter(GTK_TREE_MODEL(browser.hits), &iter, path) &&
               !hit_dn(browser, &iter).empty();
      },
      &b, nullptr);
  g_signal_connect(view, "key-press-event", G_CALLBACK(on_hit_key), &b);

  GtkWidget* page = gtk_box_new(GTK_ORIENTATION_VERTICAL, 4);
  b.hit_status = GTK_LABEL(gtk_label_new(""));
  gtk_label_set_xalign(b.hit_status, 0.0f);
  gtk_style_context_add_class(gtk_widget_get_style_context(GTK_WIDGET(b.hit_status)), "dim-label");
  gtk_box_pack_start(GTK_BOX(page), GTK_WIDGET(b.hit_status), FALSE, FALSE, 0);
  gtk_box_pack_start(GTK_BOX(page), scrolled(view), TRUE, TRUE, 0);
  return page;
}

void build(Browser& b, const std::string& title_text) {
  GtkWidget* title = gtk_label_new(title_text.c_str());
  gtk_label_set_xalign(GTK_LABEL(title), 0.0f);
  gtk_label_set_line_wrap(GTK_LABEL(title), TRUE);
  gtk_label_set_max_width_chars(GTK_LABEL(title), 50);
  gtk_box_pack_start(b.window.content, title, FALSE, FALSE, 0);

  b.find = GTK_ENTRY(gtk_entry_new());
  gtk_entry_set_placeholder_text(b.find, _("Find a container by name"));
  gtk_entry_set_icon_from_icon_name(b.find, GTK_ENTRY_ICON_PRIMARY, "edit-find-symbolic");
  atk_object_set_name(gtk_widget_get_accessible(GTK_WIDGET(b.find)), _("Find a container by name"));
  g_signal_connect_swapped(b.find, "changed",
                           G_CALLBACK(+[](Browser* browser) { start_find(*browser); }), &b);
  g_signal_connect(b.find, "key-press-event", G_CALLBACK(on_find_key), &b);
  gtk_box_pack_start(b.window.content, GTK_WIDGET(b.find), FALSE, FALSE, 0);

  b.pages = GTK_STACK(gtk_stack_new());
  gtk_stack_add_named(b.pages, scrolled(GTK_WIDGET(b.tree.view())), "tree");
  gtk_stack_add_named(b.pages, new_hit_page(b), "hits");
  gtk_label_set_mnemonic_widget(GTK_LABEL(title), GTK_WIDGET(b.tree.view()));
  gtk_box_pack_start(b.window.content, GTK_WIDGET(b.pages), TRUE, TRUE, 0);

  b.path = GTK_LABEL(gtk_label_new(""));
  gtk_label_set_xalign(b.path, 0.0f);
  gtk_label_set_ellipsize(b.path, PANGO_ELLIPSIZE_MIDDLE);
  gtk_label_set_selectable(b.path, TRUE);
  gtk_widget_set_can_focus(GTK_WIDGET(b.path), FALSE);
  atk_object_set_name(gtk_widget_get_accessible(GTK_WIDGET(b.path)), _("Selected container"));
  gtk_box_pack_start(b.window.content, GTK_WIDGET(b.path), FALSE, FALSE, 0);

  b.system = GTK_TOGGLE_BUTTON(gtk_check_button_new_with_mnemonic(_("Show s_ystem containers")));
  g_signal_connect_swapped(
      b.system, "toggled", G_CALLBACK(+[](Browser* browser) {
        browser->tree.show_system(gtk_toggle_button_get_active(browser->system));
        start_find(*browser);
        // While finding, the switch widens the search: the operator goes on there.
        if (*gtk_entry_get_text(browser->find) != '\0') {
          gtk_entry_grab_focus_without_selecting(browser->find);
        }
      }),
      &b);
  gtk_box_pack_start(b.window.content, GTK_WIDGET(b.system), FALSE, FALSE, 0);

  g_signal_connect(b.tree.view(), "key-press-event",
                   G_CALLBACK(+[](GtkWidget*, GdkEventKey* event, gpointer data) -> gboolean {
                     return forward_typing(event, static_cast<Browser*>(data)->find);
                   }),
                   &b);
  b.tree.on_selection = [&b] { show_path(b); };
  b.tree.on_choose = [&b] { gtk_dialog_response(b.window.dialog, GTK_RESPONSE_OK); };
  g_signal_connect(b.window.dialog, "key-press-event", G_CALLBACK(on_window_key), &b);
}

// Reads the forest, then shows its domains; a directory that cannot be read
// ends the dialog with the reason.
void start_reading(Browser& b) {
  gtk_label_set_text(b.path, _("Reading the directory\u2026"));
  auto status = std::make_shared<Status>();
  run_in_background([reader = &b.reader, status] { *status = reader->init(); },
                    [&b, status] {
                      if (status->failed()) {
                        b.failure = *status;
                        gtk_dialog_response(b.window.dialog, GTK_RESPONSE_CANCEL);
                        return;
                      }
                      b.ready = true;
                      b.tree.show_domains();
                      show_path(b);
                      start_find(b);
                    });
}

TestHook test_hook(Browser& b) {
  return {[&b](const std::string& name, const std::string& argument) {
            if (name == "activate") return b.tree.activate_named(argument);
            if (name == "select") return b.tree.select_named(argument);
            return false;
          },
          [&b] {
            std::string hits;
            int found = 0;
            GtkTreeIter iter;
            GtkTreeModel* model = GTK_TREE_MODEL(b.hits);
            for (bool more = gtk_tree_model_get_iter_first(model, &iter); more;
                 more = gtk_tree_model_iter_next(model, &iter)) {
              gchar* name = nullptr;
              gtk_tree_model_get(model, &iter, kHitName, &name, -1);
              hits += std::string(name) + ",";
              g_free(name);
              if (!hit_dn(b, &iter).empty()) ++found;
            }
            return b.tree.state() + "; focus=" + focus_name(GTK_WIDGET(b.window.dialog)) +
                   "; path=" + gtk_label_get_text(b.path) + "; found=" + std::to_string(found) +
                   "; hits=" + hits;
          }};
}

}  // namespace

dialogs::DialogReply run_container_browser(const dialogs::DialogRequest& request,
                                           DirectoryReader& reader) {
  Browser b(reader);
  b.window = new_dialog_window(request.caption.value_or(_("Browse for Container")), 34, 40);
  build(b, request.title.value_or(_("Select a container:")));
  gtk_widget_grab_focus(GTK_WIDGET(b.find));
  start_test_hook(GTK_WIDGET(b.window.dialog), test_hook(b));
  start_reading(b);

  dialogs::DialogReply reply;
  reply.outcome = dialogs::Outcome::cancelled;
  const bool chosen = run_dialog_window(b.window);
  const std::string dn = b.tree.selected_dn();
  close_background();
  if (b.failure.failed()) {
    reply.outcome = dialogs::Outcome::failed;
    reply.status = b.failure;
    reply.text = "cannot read the directory: " + describe(b.failure);
  } else if (chosen && !dn.empty()) {
    reply.outcome = dialogs::Outcome::chosen;
    reply.paths.push_back(reader.ldap_path(dn));
  }
  gtk_widget_destroy(GTK_WIDGET(b.window.dialog));
  return reply;
}

}  // namespace txads::dialog
