// The tree store holds three kinds of row: entries, a "Loading…" row below
// an entry whose children are not shown yet, and an error row below one
// whose children could not be read. Read branches are kept by dn, so a
// branch opened again, or the whole tree rebuilt for the system switch,
// needs no second read.
#include "browser_tree.h"

#include <algorithm>
#include <memory>

#include "background.h"
#include "dialog_window.h"
#include "directory/ldap_path.h"
#include "dn_display.h"
#include "frame/ascii_case.h"
#include "translation.h"

namespace txads::dialog {
namespace {

// kTypeColumn: "Organizational unit" and so on, shown dim beside the name, so
// that the kind is text for a screen reader too, not only an icon.
enum Column {
  kIconColumn,
  kNameColumn,
  kDnColumn,
  kKindColumn,
  kTipColumn,
  kTypeColumn,
  kColumnCount
};
enum RowKind { kEntryRow, kLoadingRow, kErrorRow };

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

const char* kind_text(NodeKind kind) {
  switch (kind) {
    case NodeKind::domain:
      return _("Domain");
    case NodeKind::organizational_unit:
      return _("Organizational unit");
    case NodeKind::container:
      break;
  }
  return _("Container");
}

void set_loading(GtkTreeStore* store, GtkTreeIter* row) {
  gtk_tree_store_set(store, row, kIconColumn, "content-loading-symbolic", kNameColumn,
                     _("Loading\u2026"), kDnColumn, "", kKindColumn, kLoadingRow, kTipColumn,
                     nullptr, -1);
}

}  // namespace

BrowserTree::BrowserTree(const DirectoryReader& reader) : reader_(reader) {
  store_ = gtk_tree_store_new(kColumnCount, G_TYPE_STRING, G_TYPE_STRING, G_TYPE_STRING, G_TYPE_INT,
                              G_TYPE_STRING, G_TYPE_STRING);
  GtkWidget* widget = gtk_tree_view_new_with_model(GTK_TREE_MODEL(store_));
  g_object_unref(store_);  // the view holds it
  view_ = GTK_TREE_VIEW(widget);
  gtk_tree_view_set_headers_visible(view_, FALSE);
  gtk_tree_view_set_enable_search(view_, FALSE);  // the find field does that
  gtk_tree_view_set_tooltip_column(view_, kTipColumn);
  atk_object_set_name(gtk_widget_get_accessible(widget), _("Containers"));

  GtkTreeViewColumn* column = gtk_tree_view_column_new();
  GtkCellRenderer* icon = gtk_cell_renderer_pixbuf_new();
  GtkCellRenderer* text = gtk_cell_renderer_text_new();
  gtk_tree_view_column_pack_start(column, icon, FALSE);
  gtk_tree_view_column_pack_start(column, text, TRUE);
  gtk_tree_view_column_add_attribute(column, icon, "icon-name", kIconColumn);
  gtk_tree_view_column_add_attribute(column, text, "text", kNameColumn);
  GtkCellRenderer* type = gtk_cell_renderer_text_new();
  g_object_set(type, "scale", PANGO_SCALE_SMALL, nullptr);
  gtk_tree_view_column_pack_start(column, type, FALSE);
  gtk_tree_view_column_add_attribute(column, type, "markup", kTypeColumn);
  gtk_tree_view_append_column(view_, column);
  gtk_tree_view_set_expander_column(view_, column);

  GtkTreeSelection* selection = gtk_tree_view_get_selection(view_);
  gtk_tree_selection_set_mode(selection, GTK_SELECTION_SINGLE);
  gtk_tree_selection_set_select_function(selection, can_select, this, nullptr);
  g_signal_connect_swapped(selection, "changed", G_CALLBACK(+[](BrowserTree* t) {
                             if (t->on_selection) t->on_selection();
                           }),
                           this);
  g_signal_connect(widget, "test-expand-row", G_CALLBACK(on_test_expand_row), this);
  g_signal_connect(widget, "row-activated", G_CALLBACK(on_row_activated), this);
  g_signal_connect(widget, "key-press-event", G_CALLBACK(on_key), this);
}

int BrowserTree::kind_at(GtkTreeIter* iter) const {
  int kind = kEntryRow;
  gtk_tree_model_get(GTK_TREE_MODEL(store_), iter, kKindColumn, &kind, -1);
  return kind;
}

std::string BrowserTree::dn_at(GtkTreeIter* iter) const {
  gchar* dn = nullptr;
  gtk_tree_model_get(GTK_TREE_MODEL(store_), iter, kDnColumn, &dn, -1);
  std::string text = dn != nullptr ? dn : "";
  g_free(dn);
  return text;
}

bool BrowserTree::visible(const DirectoryNode& node) const {
  return show_system_ || !node.advanced;
}

void BrowserTree::add_row(GtkTreeIter* parent, const DirectoryNode& node) {
  const std::string tip = std::string(kind_text(node.kind)) + "\n" + path_of(node.dn);
  gchar* dim = g_markup_printf_escaped("<span alpha=\"60%%\">%s</span>", kind_text(node.kind));
  const std::string type = dim;
  g_free(dim);
  gchar* markup = g_markup_escape_text(tip.c_str(), -1);
  GtkTreeIter row, below;
  gtk_tree_store_insert_with_values(store_, &row, parent, -1, kIconColumn, icon_of(node.kind),
                                    kNameColumn, node.name.c_str(), kDnColumn, node.dn.c_str(),
                                    kKindColumn, kEntryRow, kTipColumn, markup, kTypeColumn,
                                    type.c_str(), -1);
  g_free(markup);
  // An expander until the branch is known to be empty.
  const auto known = branches_.find(node.dn);
  if (known != branches_.end() && known->second.read && known->second.status.ok() &&
      std::none_of(known->second.nodes.begin(), known->second.nodes.end(),
                   [&](const DirectoryNode& n) { return visible(n); })) {
    return;
  }
  gtk_tree_store_append(store_, &below, &row);
  set_loading(store_, &below);
}

void BrowserTree::show_domains() {
  gtk_tree_store_clear(store_);
  for (const auto& domain : reader_.domains()) add_row(nullptr, domain);
  GtkTreePath* first = gtk_tree_path_new_first();
  gtk_tree_view_expand_row(view_, first, FALSE);
  gtk_tree_path_free(first);
}

void BrowserTree::load(const std::string& dn) {
  Branch& branch = branches_[dn];
  if (branch.loading) return;
  branch.loading = true;
  auto result = std::make_shared<Branch>();
  run_in_background(
      [reader = &reader_, dn, result] { result->status = reader->children(dn, result->nodes); },
      [this, dn, result] {
        result->read = true;
        branches_[dn] = std::move(*result);
        loaded(dn);
      });
}

bool BrowserTree::fill(GtkTreeIter* row) {
  GtkTreeModel* model = GTK_TREE_MODEL(store_);
  GtkTreeIter first;
  if (!gtk_tree_model_iter_children(model, &first, row)) return false;
  if (kind_at(&first) == kEntryRow) return true;  // filled before
  const std::string dn = dn_at(row);
  const Branch& branch = branches_[dn];
  if (!branch.read) {
    set_loading(store_, &first);
    load(dn);
    return true;
  }
  if (branch.status.failed()) {
    const std::string error = describe(branch.status);
    const std::string text = std::string(_("Cannot show the contents: ")) + error;
    const std::string tip = text + "\n" + _("Double-click or press Enter to try again.");
    gchar* markup = g_markup_escape_text(tip.c_str(), -1);
    gtk_tree_store_set(store_, &first, kIconColumn, "dialog-warning-symbolic", kNameColumn,
                       (text + "  " + _("(Retry)")).c_str(), kKindColumn, kErrorRow, kTipColumn,
                       markup, -1);
    g_free(markup);
    return true;
  }
  bool any = false;
  for (const auto& node : branch.nodes) {
    if (!visible(node)) continue;
    add_row(row, node);
    any = true;
    // One level ahead: whether each child has children of its own.
    if (!branches_[node.dn].read) load(node.dn);
  }
  gtk_tree_store_remove(store_, &first);
  return any;
}

void BrowserTree::loaded(const std::string& dn) {
  GtkTreeIter row, first;
  if (find_row(dn, &row) && gtk_tree_model_iter_children(GTK_TREE_MODEL(store_), &first, &row) &&
      kind_at(&first) != kEntryRow) {
    GtkTreePath* path = gtk_tree_model_get_path(GTK_TREE_MODEL(store_), &row);
    if (gtk_tree_view_row_expanded(view_, path)) {
      if (fill(&row)) {
        // Bring the new children into view, the opened row kept on screen.
        GtkTreeIter last;
        const int count = gtk_tree_model_iter_n_children(GTK_TREE_MODEL(store_), &row);
        if (gtk_tree_model_iter_nth_child(GTK_TREE_MODEL(store_), &last, &row, count - 1)) {
          GtkTreePath* end = gtk_tree_model_get_path(GTK_TREE_MODEL(store_), &last);
          gtk_tree_view_scroll_to_cell(view_, end, nullptr, FALSE, 0, 0);
          gtk_tree_path_free(end);
        }
        gtk_tree_view_scroll_to_cell(view_, path, nullptr, FALSE, 0, 0);
      }
    } else if (branches_[dn].status.ok()) {
      const auto& nodes = branches_[dn].nodes;
      if (std::none_of(nodes.begin(), nodes.end(),
                       [&](const DirectoryNode& n) { return visible(n); })) {
        gtk_tree_store_remove(store_, &first);  // no expander for an empty branch
      }
    }
    gtk_tree_path_free(path);
  }
  continue_reveal();
}

void BrowserTree::retry(GtkTreeIter* error_row) {
  GtkTreeIter parent;
  if (!gtk_tree_model_iter_parent(GTK_TREE_MODEL(store_), &parent, error_row)) return;
  const std::string dn = dn_at(&parent);
  branches_[dn].read = false;
  set_loading(store_, error_row);
  load(dn);
}

gboolean BrowserTree::on_test_expand_row(GtkTreeView*, GtkTreeIter* iter, GtkTreePath*,
                                         gpointer data) {
  auto& t = *static_cast<BrowserTree*>(data);
  GtkTreeIter first;
  if (gtk_tree_model_iter_children(GTK_TREE_MODEL(t.store_), &first, iter) &&
      t.kind_at(&first) == kErrorRow) {
    t.retry(&first);  // a branch that failed is read again when reopened
    return FALSE;
  }
  return t.fill(iter) ? FALSE : TRUE;
}

void BrowserTree::toggle(GtkTreePath* path) {
  GtkTreeIter iter;
  if (!gtk_tree_model_get_iter(GTK_TREE_MODEL(store_), &iter, path)) return;
  if (kind_at(&iter) == kErrorRow) {
    retry(&iter);
  } else if (gtk_tree_view_row_expanded(view_, path)) {
    gtk_tree_view_collapse_row(view_, path);
  } else {
    gtk_tree_view_expand_row(view_, path, FALSE);
  }
}

void BrowserTree::on_row_activated(GtkTreeView*, GtkTreePath* path, GtkTreeViewColumn*,
                                   gpointer data) {
  static_cast<BrowserTree*>(data)->toggle(path);
}

gboolean BrowserTree::on_key(GtkWidget*, GdkEventKey* event, gpointer data) {
  auto& t = *static_cast<BrowserTree*>(data);
  if ((event->state & (GDK_CONTROL_MASK | GDK_MOD1_MASK | GDK_SHIFT_MASK)) != 0) return FALSE;
  GtkTreePath* path = nullptr;
  gtk_tree_view_get_cursor(t.view_, &path, nullptr);
  if (path == nullptr) return FALSE;
  GtkTreeIter iter;
  gtk_tree_model_get_iter(GTK_TREE_MODEL(t.store_), &iter, path);
  gboolean handled = TRUE;
  switch (event->keyval) {
    case GDK_KEY_Right:
    case GDK_KEY_KP_Right:
      if (!gtk_tree_view_row_expanded(t.view_, path)) {
        gtk_tree_view_expand_row(t.view_, path, FALSE);
      } else if (gtk_tree_model_iter_has_child(GTK_TREE_MODEL(t.store_), &iter)) {
        gtk_tree_path_down(path);
        gtk_tree_view_set_cursor(t.view_, path, nullptr, FALSE);
      }
      break;
    case GDK_KEY_Left:
    case GDK_KEY_KP_Left:
      if (gtk_tree_view_row_expanded(t.view_, path)) {
        gtk_tree_view_collapse_row(t.view_, path);
      } else if (gtk_tree_path_get_depth(path) > 1 && gtk_tree_path_up(path)) {
        gtk_tree_view_set_cursor(t.view_, path, nullptr, FALSE);
      }
      break;
    case GDK_KEY_Return:
    case GDK_KEY_KP_Enter:
    case GDK_KEY_ISO_Enter:
      if (t.kind_at(&iter) == kErrorRow) {
        t.retry(&iter);
      } else if (!t.selected_dn().empty() && t.on_choose) {
        t.on_choose();
      }
      break;
    default:
      handled = FALSE;
  }
  gtk_tree_path_free(path);
  return handled;
}

gboolean BrowserTree::can_select(GtkTreeSelection*, GtkTreeModel*, GtkTreePath* path, gboolean,
                                 gpointer data) {
  auto& t = *static_cast<BrowserTree*>(data);
  GtkTreeIter iter;
  return gtk_tree_model_get_iter(GTK_TREE_MODEL(t.store_), &iter, path) &&
         t.kind_at(&iter) == kEntryRow;
}

std::string BrowserTree::selected_dn() const {
  GtkTreeIter iter;
  if (!gtk_tree_selection_get_selected(gtk_tree_view_get_selection(view_), nullptr, &iter)) {
    return {};
  }
  return dn_at(&iter);
}

void BrowserTree::show_system(bool shown) {
  if (shown == show_system_) return;
  show_system_ = shown;
  std::vector<std::string> open;
  std::pair<BrowserTree*, std::vector<std::string>*> context(this, &open);
  gtk_tree_view_map_expanded_rows(
      view_,
      +[](GtkTreeView*, GtkTreePath* path, gpointer data) {
        auto& [tree, dns] = *static_cast<std::pair<BrowserTree*, std::vector<std::string>*>*>(data);
        GtkTreeIter iter;
        gtk_tree_model_get_iter(GTK_TREE_MODEL(tree->store_), &iter, path);
        dns->push_back(tree->dn_at(&iter));
      },
      &context);
  const std::string selected = selected_dn();
  gtk_tree_store_clear(store_);
  for (const auto& domain : reader_.domains()) add_row(nullptr, domain);
  for (const auto& dn : open) {  // parents come before their children
    GtkTreeIter row;
    if (!find_row(dn, &row)) continue;
    GtkTreePath* path = gtk_tree_model_get_path(GTK_TREE_MODEL(store_), &row);
    gtk_tree_view_expand_row(view_, path, FALSE);
    gtk_tree_path_free(path);
  }
  GtkTreeIter row;
  if (!selected.empty() && find_row(selected, &row)) {
    gtk_tree_selection_select_iter(gtk_tree_view_get_selection(view_), &row);
  }
}

bool BrowserTree::find_row(const std::string& dn, GtkTreeIter* found) const {
  struct Search {
    const BrowserTree* tree;
    const std::string* dn;
    GtkTreeIter* found;
    bool hit = false;
  } search{this, &dn, found};
  gtk_tree_model_foreach(
      GTK_TREE_MODEL(store_),
      +[](GtkTreeModel*, GtkTreePath*, GtkTreeIter* iter, gpointer data) -> gboolean {
        auto& s = *static_cast<Search*>(data);
        if (!equal_ignoring_case(s.tree->dn_at(iter), *s.dn)) return FALSE;
        *s.found = *iter;
        s.hit = true;
        return TRUE;
      },
      &search);
  return search.hit;
}

bool BrowserTree::find_named(const std::string& name, GtkTreeIter* found) const {
  struct Search {
    const std::string* name;
    GtkTreeIter* found;
    bool hit = false;
  } search{&name, found};
  gtk_tree_model_foreach(
      GTK_TREE_MODEL(store_),
      +[](GtkTreeModel* model, GtkTreePath*, GtkTreeIter* iter, gpointer data) -> gboolean {
        auto& s = *static_cast<Search*>(data);
        gchar* text = nullptr;
        gtk_tree_model_get(model, iter, kNameColumn, &text, -1);
        const bool hit = text != nullptr && *s.name == text;
        g_free(text);
        if (hit) *s.found = *iter;
        s.hit = hit;
        return hit;
      },
      &search);
  return search.hit;
}

void BrowserTree::reveal(const std::string& dn) {
  const std::string domain = reader_.domain_dn_of(dn);
  reveal_chain_.clear();
  if (domain.empty()) return;
  for (std::string at = dn; !at.empty(); at = directory::parent_dn(at)) {
    reveal_chain_.insert(reveal_chain_.begin(), at);
    if (equal_ignoring_case(at, domain)) break;
  }
  continue_reveal();
}

void BrowserTree::continue_reveal() {
  for (size_t i = 0; i < reveal_chain_.size(); ++i) {
    GtkTreeIter row;
    if (!find_row(reveal_chain_[i], &row)) {
      reveal_chain_.clear();  // hidden, or gone from the directory
      return;
    }
    GtkTreePath* path = gtk_tree_model_get_path(GTK_TREE_MODEL(store_), &row);
    if (i + 1 == reveal_chain_.size()) {
      gtk_tree_view_set_cursor(view_, path, nullptr, FALSE);
      gtk_tree_view_scroll_to_cell(view_, path, nullptr, TRUE, 0.5f, 0);
      gtk_widget_grab_focus(GTK_WIDGET(view_));
      reveal_chain_.clear();
    } else {
      gtk_tree_view_expand_row(view_, path, FALSE);
      GtkTreeIter first;
      const bool waiting = gtk_tree_model_iter_children(GTK_TREE_MODEL(store_), &first, &row) &&
                           kind_at(&first) != kEntryRow;
      if (waiting && kind_at(&first) == kErrorRow) reveal_chain_.clear();
      if (waiting) {
        gtk_tree_path_free(path);
        return;  // resumed when the branch has been read
      }
    }
    gtk_tree_path_free(path);
  }
}

bool BrowserTree::activate_named(const std::string& name) {
  GtkTreeIter iter;
  if (!find_named(name, &iter)) return false;
  GtkTreePath* path = gtk_tree_model_get_path(GTK_TREE_MODEL(store_), &iter);
  gtk_tree_view_row_activated(view_, path, gtk_tree_view_get_column(view_, 0));
  gtk_tree_path_free(path);
  return true;
}

bool BrowserTree::select_named(const std::string& name) {
  GtkTreeIter iter;
  if (!find_named(name, &iter)) return false;
  GtkTreePath* path = gtk_tree_model_get_path(GTK_TREE_MODEL(store_), &iter);
  gtk_widget_grab_focus(GTK_WIDGET(view_));
  gtk_tree_view_set_cursor(view_, path, nullptr, FALSE);
  gtk_tree_path_free(path);
  return true;
}

std::string BrowserTree::state() const {
  std::string open, failed, top;
  GtkTreeModel* model = GTK_TREE_MODEL(store_);
  struct Walk {
    const BrowserTree* tree;
    std::string *open, *failed;
  } walk{this, &open, &failed};
  gtk_tree_model_foreach(
      model,
      +[](GtkTreeModel* m, GtkTreePath* path, GtkTreeIter* iter, gpointer data) -> gboolean {
        auto& w = *static_cast<Walk*>(data);
        gchar* name = nullptr;
        gtk_tree_model_get(m, iter, kNameColumn, &name, -1);
        GtkTreeIter parent;
        gchar* parent_name = nullptr;
        if (gtk_tree_model_iter_parent(m, &parent, iter))
          gtk_tree_model_get(m, &parent, kNameColumn, &parent_name, -1);
        if (w.tree->kind_at(iter) == kErrorRow) *w.failed += std::string(parent_name) + ",";
        if (w.tree->kind_at(iter) == kEntryRow && gtk_tree_view_row_expanded(w.tree->view_, path))
          *w.open += std::string(name) + ",";
        g_free(name);
        g_free(parent_name);
        return FALSE;
      },
      &walk);
  GtkTreeIter domain, child;
  if (gtk_tree_model_get_iter_first(model, &domain) &&
      gtk_tree_model_iter_children(model, &child, &domain)) {
    do {
      gchar* name = nullptr;
      gtk_tree_model_get(model, &child, kNameColumn, &name, -1);
      top += std::string(name != nullptr ? name : "") + ",";
      g_free(name);
    } while (gtk_tree_model_iter_next(model, &child));
  }
  GtkTreeIter selected;
  std::string chosen = "-";
  if (gtk_tree_selection_get_selected(gtk_tree_view_get_selection(view_), nullptr, &selected)) {
    gchar* name = nullptr;
    gtk_tree_model_get(model, &selected, kNameColumn, &name, -1);
    chosen = name;
    g_free(name);
  }
  return "selected=" + chosen + "; open=" + open + "; failed=" + failed + "; top=" + top;
}

}  // namespace txads::dialog
