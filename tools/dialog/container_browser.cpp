// The container browser's tree. Every entry not yet opened carries one
// placeholder child, which gives it an expander; opening it replaces the
// placeholder with the entry's children (or with nothing, or with a row
// that says why they could not be read).
#include "container_browser.h"

#include <vector>

#include "dialog_window.h"

namespace txads::dialog {
namespace {

constexpr const char* kDefaultCaption = "Browse for Container";
constexpr const char* kDefaultTitle = "Select a container:";

enum Column { kIconColumn, kNameColumn, kDnColumn, kPlaceholderColumn, kColumnCount };

struct Browser {
  const DirectoryReader* reader = nullptr;
  DialogWindow window;
  GtkTreeStore* store = nullptr;
  GtkTreeView* view = nullptr;
};

const char* icon_of(NodeKind kind) {
  switch (kind) {
    case NodeKind::domain:
      return "network-workgroup";
    case NodeKind::organizational_unit:
      return "folder-documents";
    case NodeKind::container:
      break;
  }
  return "folder";
}

void add_node(Browser& b, GtkTreeIter* parent, const DirectoryNode& node) {
  GtkTreeIter row, placeholder;
  gtk_tree_store_insert_with_values(b.store, &row, parent, -1, kIconColumn, icon_of(node.kind),
                                    kNameColumn, node.name.c_str(), kDnColumn, node.dn.c_str(),
                                    kPlaceholderColumn, FALSE, -1);
  gtk_tree_store_insert_with_values(b.store, &placeholder, &row, -1, kIconColumn, nullptr,
                                    kNameColumn, "Loading\u2026", kDnColumn, "", kPlaceholderColumn,
                                    TRUE, -1);
}

std::string dn_at(GtkTreeModel* model, GtkTreeIter* iter) {
  gchar* dn = nullptr;
  gtk_tree_model_get(model, iter, kDnColumn, &dn, -1);
  std::string text = dn != nullptr ? dn : "";
  g_free(dn);
  return text;
}

// Replaces the placeholder below `iter` with the entry's children. Returns
// TRUE to keep the row closed (it turned out to have no children).
gboolean on_test_expand_row(GtkTreeView*, GtkTreeIter* iter, GtkTreePath*, gpointer data) {
  auto& b = *static_cast<Browser*>(data);
  GtkTreeModel* model = GTK_TREE_MODEL(b.store);
  GtkTreeIter first;
  if (!gtk_tree_model_iter_children(model, &first, iter)) return TRUE;
  gboolean placeholder = FALSE;
  gtk_tree_model_get(model, &first, kPlaceholderColumn, &placeholder, -1);
  if (!placeholder) return FALSE;  // opened before

  GdkWindow* window = gtk_widget_get_window(GTK_WIDGET(b.window.dialog));
  GdkCursor* busy = nullptr;
  if (window != nullptr) {
    busy = gdk_cursor_new_from_name(gdk_window_get_display(window), "wait");
    gdk_window_set_cursor(window, busy);
    gdk_display_flush(gdk_window_get_display(window));
  }
  std::vector<DirectoryNode> nodes;
  const Status status = b.reader->children(dn_at(model, iter), nodes);
  if (window != nullptr) gdk_window_set_cursor(window, nullptr);
  if (busy != nullptr) g_object_unref(busy);

  if (status.failed()) {
    const std::string text = "Cannot show the contents: " + describe(status);
    gtk_tree_store_set(b.store, &first, kIconColumn, "dialog-warning-symbolic", kNameColumn,
                       text.c_str(), kPlaceholderColumn, FALSE, -1);
    return FALSE;
  }
  for (const auto& node : nodes) add_node(b, iter, node);
  gtk_tree_store_remove(b.store, &first);
  return nodes.empty() ? TRUE : FALSE;
}

// Only rows of real entries can be chosen; not "Loading…" or a failure.
gboolean can_select(GtkTreeSelection*, GtkTreeModel* model, GtkTreePath* path, gboolean, gpointer) {
  GtkTreeIter iter;
  return gtk_tree_model_get_iter(model, &iter, path) && !dn_at(model, &iter).empty();
}

void on_selection_changed(GtkTreeSelection* selection, gpointer data) {
  auto& b = *static_cast<Browser*>(data);
  allow_ok(b.window, gtk_tree_selection_get_selected(selection, nullptr, nullptr));
}

void on_row_activated(GtkTreeView* view, GtkTreePath* path, GtkTreeViewColumn*, gpointer data) {
  auto& b = *static_cast<Browser*>(data);
  GtkTreeIter iter;
  if (gtk_tree_model_get_iter(gtk_tree_view_get_model(view), &iter, path) &&
      !dn_at(gtk_tree_view_get_model(view), &iter).empty()) {
    gtk_tree_selection_select_iter(gtk_tree_view_get_selection(view), &iter);
    gtk_dialog_response(b.window.dialog, GTK_RESPONSE_OK);
  }
}

GtkTreeView* new_tree(Browser& b) {
  b.store =
      gtk_tree_store_new(kColumnCount, G_TYPE_STRING, G_TYPE_STRING, G_TYPE_STRING, G_TYPE_BOOLEAN);
  GtkWidget* view = gtk_tree_view_new_with_model(GTK_TREE_MODEL(b.store));
  g_object_unref(b.store);  // the view holds it
  auto* tree = GTK_TREE_VIEW(view);
  gtk_tree_view_set_headers_visible(tree, FALSE);
  gtk_tree_view_set_enable_search(tree, TRUE);
  gtk_tree_view_set_search_column(tree, kNameColumn);

  GtkTreeViewColumn* column = gtk_tree_view_column_new();
  GtkCellRenderer* icon = gtk_cell_renderer_pixbuf_new();
  GtkCellRenderer* text = gtk_cell_renderer_text_new();
  gtk_tree_view_column_pack_start(column, icon, FALSE);
  gtk_tree_view_column_pack_start(column, text, TRUE);
  gtk_tree_view_column_add_attribute(column, icon, "icon-name", kIconColumn);
  gtk_tree_view_column_add_attribute(column, text, "text", kNameColumn);
  gtk_tree_view_append_column(tree, column);
  gtk_tree_view_set_expander_column(tree, column);

  GtkTreeSelection* selection = gtk_tree_view_get_selection(tree);
  gtk_tree_selection_set_mode(selection, GTK_SELECTION_BROWSE);
  gtk_tree_selection_set_select_function(selection, can_select, nullptr, nullptr);
  g_signal_connect(selection, "changed", G_CALLBACK(on_selection_changed), &b);
  g_signal_connect(view, "test-expand-row", G_CALLBACK(on_test_expand_row), &b);
  g_signal_connect(view, "row-activated", G_CALLBACK(on_row_activated), &b);
  return tree;
}

}  // namespace

dialogs::DialogReply run_container_browser(const dialogs::DialogRequest& request,
                                           const DirectoryReader& reader) {
  Browser b;
  b.reader = &reader;
  b.window = new_dialog_window(request.caption.value_or(kDefaultCaption), 440, 520);

  GtkWidget* title = gtk_label_new(request.title.value_or(kDefaultTitle).c_str());
  gtk_label_set_xalign(GTK_LABEL(title), 0.0f);
  gtk_label_set_line_wrap(GTK_LABEL(title), TRUE);
  gtk_label_set_max_width_chars(GTK_LABEL(title), 50);
  gtk_box_pack_start(b.window.content, title, FALSE, FALSE, 0);

  b.view = new_tree(b);
  gtk_label_set_mnemonic_widget(GTK_LABEL(title), GTK_WIDGET(b.view));
  GtkWidget* scroll = gtk_scrolled_window_new(nullptr, nullptr);
  gtk_scrolled_window_set_shadow_type(GTK_SCROLLED_WINDOW(scroll), GTK_SHADOW_IN);
  gtk_scrolled_window_set_policy(GTK_SCROLLED_WINDOW(scroll), GTK_POLICY_AUTOMATIC,
                                 GTK_POLICY_AUTOMATIC);
  gtk_container_add(GTK_CONTAINER(scroll), GTK_WIDGET(b.view));
  gtk_box_pack_start(b.window.content, scroll, TRUE, TRUE, 0);

  for (const auto& domain : reader.domains()) add_node(b, nullptr, domain);
  // The operator's own domain starts open and chosen.
  GtkTreePath* first = gtk_tree_path_new_first();
  gtk_tree_view_expand_row(b.view, first, FALSE);
  gtk_tree_view_set_cursor(b.view, first, nullptr, FALSE);
  gtk_tree_path_free(first);
  gtk_widget_grab_focus(GTK_WIDGET(b.view));

  dialogs::DialogReply reply;
  reply.outcome = dialogs::Outcome::cancelled;
  if (run_dialog_window(b.window)) {
    GtkTreeModel* model = nullptr;
    GtkTreeIter iter;
    if (gtk_tree_selection_get_selected(gtk_tree_view_get_selection(b.view), &model, &iter)) {
      reply.outcome = dialogs::Outcome::chosen;
      reply.paths.push_back(reader.ldap_path(dn_at(model, &iter)));
    }
  }
  gtk_widget_destroy(GTK_WIDGET(b.window.dialog));
  return reply;
}

}  // namespace txads::dialog
