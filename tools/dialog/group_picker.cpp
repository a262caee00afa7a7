// The group picker's list: a list store of every offered group behind a
// filter on the search text; the groups arrive from a reader thread.
#include "group_picker.h"

#include <memory>
#include <thread>
#include <vector>

#include "dialog_window.h"
#include "dn_display.h"
#include "owner_window.h"

namespace txads::dialog {
namespace {

constexpr const char* kCaption = "Select Group";
constexpr const char* kIcon = "system-users-symbolic";

enum Column {
  kIconColumn,
  kNameColumn,
  kTypeColumn,
  kFolderColumn,
  kTooltipColumn,  // markup
  kDnColumn,
  kMatchColumn,  // case-folded name and account, for the search
  kColumnCount
};

struct Picker {
  const DirectoryReader* reader = nullptr;
  DialogWindow window;
  GtkListStore* store = nullptr;
  GtkTreeModelFilter* filter = nullptr;
  GtkTreeView* view = nullptr;
  GtkEntry* search = nullptr;
  GtkSpinner* spinner = nullptr;
  GtkLabel* status = nullptr;
  std::string query;  // case-folded search text
  bool loaded = false;
  int total = 0;
};

// The picker whose window is open; a late answer of the reader thread for a
// picker that has closed is dropped. GUI thread only.
Picker* open_picker = nullptr;

// What the reader thread hands to the GUI thread.
struct Loaded {
  Picker* picker;
  Status status;
  std::vector<GroupEntry> groups;
};

std::string casefold(const char* text) {
  gchar* folded = g_utf8_casefold(text, -1);
  std::string out = folded;
  g_free(folded);
  return out;
}

gboolean is_visible(GtkTreeModel* model, GtkTreeIter* iter, gpointer data) {
  const auto& p = *static_cast<Picker*>(data);
  if (p.query.empty()) return TRUE;
  gchar* match = nullptr;
  gtk_tree_model_get(model, iter, kMatchColumn, &match, -1);
  const bool visible = match != nullptr && std::string(match).find(p.query) != std::string::npos;
  g_free(match);
  return visible;
}

void show_count(Picker& p) {
  if (!p.loaded) return;
  const int shown = gtk_tree_model_iter_n_children(GTK_TREE_MODEL(p.filter), nullptr);
  char text[96];
  if (p.query.empty()) {
    std::snprintf(text, sizeof text, p.total == 1 ? "%d group" : "%d groups", p.total);
  } else {
    std::snprintf(text, sizeof text, "%d of %d groups match", shown, p.total);
  }
  gtk_label_set_text(p.status, text);
}

// After the list changed: with a search text the first match is chosen, so
// that Enter takes it.
void choose_first_match(Picker& p) {
  GtkTreeSelection* selection = gtk_tree_view_get_selection(p.view);
  GtkTreeIter first;
  if (!p.query.empty() && gtk_tree_model_get_iter_first(GTK_TREE_MODEL(p.filter), &first)) {
    GtkTreePath* path = gtk_tree_model_get_path(GTK_TREE_MODEL(p.filter), &first);
    gtk_tree_view_set_cursor(p.view, path, nullptr, FALSE);
    gtk_tree_view_scroll_to_cell(p.view, path, nullptr, FALSE, 0, 0);
    gtk_tree_path_free(path);
  } else if (p.query.empty()) {
    gtk_tree_selection_unselect_all(selection);
  }
}

void on_search_changed(GtkEditable* editable, gpointer data) {
  auto& p = *static_cast<Picker*>(data);
  p.query = casefold(gtk_entry_get_text(GTK_ENTRY(editable)));
  gtk_tree_model_filter_refilter(p.filter);
  choose_first_match(p);
  show_count(p);
}

void on_search_activate(GtkEntry*, gpointer data) {
  auto& p = *static_cast<Picker*>(data);
  if (gtk_tree_selection_get_selected(gtk_tree_view_get_selection(p.view), nullptr, nullptr)) {
    gtk_dialog_response(p.window.dialog, GTK_RESPONSE_OK);
  }
}

// Down and Page Down in the search field go on into the list.
gboolean on_search_key(GtkWidget*, GdkEventKey* event, gpointer data) {
  auto& p = *static_cast<Picker*>(data);
  if (event->keyval != GDK_KEY_Down && event->keyval != GDK_KEY_Page_Down) return FALSE;
  GtkTreeIter first;
  if (!gtk_tree_model_get_iter_first(GTK_TREE_MODEL(p.filter), &first)) return FALSE;
  GtkTreeSelection* selection = gtk_tree_view_get_selection(p.view);
  if (!gtk_tree_selection_get_selected(selection, nullptr, nullptr)) {
    GtkTreePath* path = gtk_tree_model_get_path(GTK_TREE_MODEL(p.filter), &first);
    gtk_tree_view_set_cursor(p.view, path, nullptr, FALSE);
    gtk_tree_path_free(path);
  }
  gtk_widget_grab_focus(GTK_WIDGET(p.view));
  return TRUE;
}

void on_selection_changed(GtkTreeSelection* selection, gpointer data) {
  auto& p = *static_cast<Picker*>(data);
  allow_ok(p.window, gtk_tree_selection_get_selected(selection, nullptr, nullptr));
}

void on_row_activated(GtkTreeView*, GtkTreePath*, GtkTreeViewColumn*, gpointer data) {
  gtk_dialog_response(static_cast<Picker*>(data)->window.dialog, GTK_RESPONSE_OK);
}

gboolean on_loaded(gpointer data) {
  std::unique_ptr<Loaded> loaded(static_cast<Loaded*>(data));
  if (loaded->picker != open_picker) return G_SOURCE_REMOVE;
  Picker& p = *loaded->picker;
  gtk_spinner_stop(p.spinner);
  gtk_widget_hide(GTK_WIDGET(p.spinner));
  if (loaded->status.failed()) {
    const std::string text = "Cannot read the groups: " + describe(loaded->status);
    gtk_label_set_text(p.status, text.c_str());
    return G_SOURCE_REMOVE;
  }
  for (const auto& group : loaded->groups) {
    const std::string folder = folder_of(group.dn);
    std::string tip = group.account.empty() ? group.name : group.account;
    if (!group.description.empty()) tip += "\n" + group.description;
    gchar* markup = g_markup_escape_text(tip.c_str(), -1);
    const std::string match = casefold((group.name + "\n" + group.account).c_str());
    gtk_list_store_insert_with_values(
        p.store, nullptr, -1, kIconColumn, kIcon, kNameColumn, group.name.c_str(), kTypeColumn,
        group_type_label(group.group_type).c_str(), kFolderColumn, folder.c_str(), kTooltipColumn,
        markup, kDnColumn, group.dn.c_str(), kMatchColumn, match.c_str(), -1);
    g_free(markup);
  }
  p.loaded = true;
  p.total = static_cast<int>(loaded->groups.size());
  gtk_tree_model_filter_refilter(p.filter);
  choose_first_match(p);
  show_count(p);
  return G_SOURCE_REMOVE;
}

void add_text_column(GtkTreeView* view, const char* title, int column, bool expand) {
  GtkCellRenderer* text = gtk_cell_renderer_text_new();
  // Columns that share the spare width may shorten; the others keep their text.
  if (expand) g_object_set(text, "ellipsize", PANGO_ELLIPSIZE_END, nullptr);
  GtkTreeViewColumn* c =
      gtk_tree_view_column_new_with_attributes(title, text, "text", column, nullptr);
  gtk_tree_view_column_set_resizable(c, TRUE);
  gtk_tree_view_column_set_expand(c, expand);
  gtk_tree_view_append_column(view, c);
}

GtkTreeView* new_list(Picker& p) {
  p.store = gtk_list_store_new(kColumnCount, G_TYPE_STRING, G_TYPE_STRING, G_TYPE_STRING,
                               G_TYPE_STRING, G_TYPE_STRING, G_TYPE_STRING, G_TYPE_STRING);
  p.filter = GTK_TREE_MODEL_FILTER(gtk_tree_model_filter_new(GTK_TREE_MODEL(p.store), nullptr));
  g_object_unref(p.store);  // the filter holds it
  gtk_tree_model_filter_set_visible_func(p.filter, is_visible, &p, nullptr);
  GtkWidget* widget = gtk_tree_view_new_with_model(GTK_TREE_MODEL(p.filter));
  g_object_unref(p.filter);  // the view holds it
  auto* view = GTK_TREE_VIEW(widget);
  gtk_tree_view_set_enable_search(view, FALSE);  // the search field does that
  gtk_tree_view_set_tooltip_column(view, kTooltipColumn);

  GtkTreeViewColumn* name = gtk_tree_view_column_new();
  gtk_tree_view_column_set_title(name, "Name");
  GtkCellRenderer* icon = gtk_cell_renderer_pixbuf_new();
  GtkCellRenderer* text = gtk_cell_renderer_text_new();
  g_object_set(text, "ellipsize", PANGO_ELLIPSIZE_END, nullptr);
  gtk_tree_view_column_pack_start(name, icon, FALSE);
  gtk_tree_view_column_pack_start(name, text, TRUE);
  gtk_tree_view_column_add_attribute(name, icon, "icon-name", kIconColumn);
  gtk_tree_view_column_add_attribute(name, text, "text", kNameColumn);
  gtk_tree_view_column_set_resizable(name, TRUE);
  gtk_tree_view_column_set_expand(name, TRUE);
  gtk_tree_view_append_column(view, name);
  add_text_column(view, "Type", kTypeColumn, false);
  add_text_column(view, "In Folder", kFolderColumn, true);

  GtkTreeSelection* selection = gtk_tree_view_get_selection(view);
  gtk_tree_selection_set_mode(selection, GTK_SELECTION_SINGLE);
  g_signal_connect(selection, "changed", G_CALLBACK(on_selection_changed), &p);
  g_signal_connect(view, "row-activated", G_CALLBACK(on_row_activated), &p);
  return view;
}

void build(Picker& p) {
  GtkWidget* label = gtk_label_new_with_mnemonic("_Search for a security group:");
  gtk_label_set_xalign(GTK_LABEL(label), 0.0f);
  gtk_box_pack_start(p.window.content, label, FALSE, FALSE, 0);

  p.search = GTK_ENTRY(gtk_entry_new());
  gtk_entry_set_placeholder_text(p.search, "Name or account name");
  gtk_entry_set_icon_from_icon_name(p.search, GTK_ENTRY_ICON_PRIMARY, "edit-find-symbolic");
  gtk_label_set_mnemonic_widget(GTK_LABEL(label), GTK_WIDGET(p.search));
  g_signal_connect(p.search, "changed", G_CALLBACK(on_search_changed), &p);
  g_signal_connect(p.search, "activate", G_CALLBACK(on_search_activate), &p);
  g_signal_connect(p.search, "key-press-event", G_CALLBACK(on_search_key), &p);
  gtk_box_pack_start(p.window.content, GTK_WIDGET(p.search), FALSE, FALSE, 0);

  p.view = new_list(p);
  GtkWidget* scroll = gtk_scrolled_window_new(nullptr, nullptr);
  gtk_scrolled_window_set_shadow_type(GTK_SCROLLED_WINDOW(scroll), GTK_SHADOW_IN);
  gtk_scrolled_window_set_policy(GTK_SCROLLED_WINDOW(scroll), GTK_POLICY_NEVER,
                                 GTK_POLICY_AUTOMATIC);
  gtk_container_add(GTK_CONTAINER(scroll), GTK_WIDGET(p.view));
  gtk_box_pack_start(p.window.content, scroll, TRUE, TRUE, 0);

  GtkWidget* status_row = gtk_box_new(GTK_ORIENTATION_HORIZONTAL, 6);
  p.spinner = GTK_SPINNER(gtk_spinner_new());
  gtk_spinner_start(p.spinner);
  p.status = GTK_LABEL(gtk_label_new("Searching the directory\u2026"));
  gtk_label_set_xalign(p.status, 0.0f);
  gtk_label_set_ellipsize(p.status, PANGO_ELLIPSIZE_END);
  gtk_style_context_add_class(gtk_widget_get_style_context(GTK_WIDGET(p.status)), "dim-label");
  gtk_box_pack_start(GTK_BOX(status_row), GTK_WIDGET(p.spinner), FALSE, FALSE, 0);
  gtk_box_pack_start(GTK_BOX(status_row), GTK_WIDGET(p.status), TRUE, TRUE, 0);
  gtk_box_pack_start(p.window.content, status_row, FALSE, FALSE, 0);
}

}  // namespace

dialogs::DialogReply run_group_picker(const dialogs::DialogRequest& request,
                                      const DirectoryReader& reader) {
  dialogs::DialogReply reply;
  Picker p;
  p.reader = &reader;
  p.window = new_dialog_window(request.caption.value_or(kCaption), 640, 460);
  build(p);
  if (request.owner_window != 0) {
    if (const Status s = attach_owner(GTK_WINDOW(p.window.dialog), request.owner_window);
        s.failed()) {
      gtk_widget_destroy(GTK_WIDGET(p.window.dialog));
      reply.outcome = dialogs::Outcome::failed;
      reply.status = s;
      reply.text = "the owner window does not exist on the display";
      return reply;
    }
  }

  // The list fills in while the window is up. The thread is not joined: the
  // process ends right after the reply, whether or not the read finished.
  std::thread([&reader, picker = &p] {
    auto loaded = std::make_unique<Loaded>();
    loaded->picker = picker;
    loaded->status = reader.security_groups(loaded->groups);
    g_idle_add(on_loaded, loaded.release());
  }).detach();

  gtk_widget_grab_focus(GTK_WIDGET(p.search));
  reply.outcome = dialogs::Outcome::cancelled;
  open_picker = &p;
  const bool chosen = run_dialog_window(p.window);
  open_picker = nullptr;
  if (chosen) {
    GtkTreeModel* model = nullptr;
    GtkTreeIter iter;
    if (gtk_tree_selection_get_selected(gtk_tree_view_get_selection(p.view), &model, &iter)) {
      gchar* dn = nullptr;
      gtk_tree_model_get(model, &iter, kDnColumn, &dn, -1);
      reply.outcome = dialogs::Outcome::chosen;
      reply.paths.push_back(reader.ldap_path(dn != nullptr ? dn : ""));
      g_free(dn);
    }
  }
  gtk_widget_destroy(GTK_WIDGET(p.window.dialog));
  return reply;
}

}  // namespace txads::dialog
