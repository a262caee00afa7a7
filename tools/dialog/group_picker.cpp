// The group picker's list: a list store of every offered group behind a
// filter on the search text and a sort (matches that start with the text
// first, or the column the operator clicked). The directory is read in the
// background from the first moment on. The operator's selection is kept by
// dn across filter changes.
#include "group_picker.h"

#include <memory>
#include <vector>

#include "background.h"
#include "dialog_window.h"
#include "dn_display.h"
#include "owner_window.h"
#include "test_hook.h"
#include "text_match.h"
#include "translation.h"

namespace txads::dialog {
namespace {

enum Column {
  kNameColumn,
  kAccountColumn,
  kDetailColumn,   // type and folder, the row's dim second line
  kTooltipColumn,  // markup
  kDnColumn,
  kMatchColumn,  // case-folded name, account, description and folder
  kRankColumn,   // case-folded name and account: a match here at the start ranks first
  kColumnCount
};

struct Picker {
  DirectoryReader* reader = nullptr;
  DialogWindow window;
  GtkListStore* store = nullptr;
  GtkTreeModelFilter* filter = nullptr;
  GtkTreeModelSort* sort = nullptr;
  GtkTreeView* view = nullptr;
  GtkStack* pages = nullptr;
  GtkLabel* empty = nullptr;
  GtkEntry* search = nullptr;
  GtkSpinner* spinner = nullptr;
  GtkLabel* status = nullptr;
  std::string query;         // case-folded search text
  std::string chosen;        // dn of the operator's own selection, kept across searches
  bool refiltering = false;  // selection changes now are the list's, not the operator's
  bool loaded = false;
  int total = 0;
  Status failure;  // the directory could not be read at all
};

std::string text_at(GtkTreeModel* model, GtkTreeIter* iter, int column) {
  gchar* text = nullptr;
  gtk_tree_model_get(model, iter, column, &text, -1);
  std::string out = text != nullptr ? text : "";
  g_free(text);
  return out;
}

gboolean is_visible(GtkTreeModel* model, GtkTreeIter* iter, gpointer data) {
  const auto& p = *static_cast<Picker*>(data);
  return p.query.empty() || text_at(model, iter, kMatchColumn).find(p.query) != std::string::npos;
}

int rank_of(const Picker& p, GtkTreeModel* model, GtkTreeIter* iter) {
  const std::string folded = text_at(model, iter, kRankColumn);
  const size_t newline = folded.find('\n');
  const bool prefix = match_rank(folded.substr(0, newline), p.query) == 0 ||
                      match_rank(folded.substr(newline + 1), p.query) == 0;
  return prefix ? 0 : 1;
}

gint by_column(GtkTreeModel* model, GtkTreeIter* a, GtkTreeIter* b, gpointer column) {
  const int c = GPOINTER_TO_INT(column);
  return g_utf8_collate(text_at(model, a, c).c_str(), text_at(model, b, c).c_str());
}

gint by_rank(GtkTreeModel* model, GtkTreeIter* a, GtkTreeIter* b, gpointer data) {
  const auto& p = *static_cast<Picker*>(data);
  if (!p.query.empty()) {
    const int ra = rank_of(p, model, a), rb = rank_of(p, model, b);
    if (ra != rb) return ra - rb;
  }
  return by_column(model, a, b, GINT_TO_POINTER(kNameColumn));
}

void show_count(Picker& p) {
  if (!p.loaded) return;
  const int shown = gtk_tree_model_iter_n_children(GTK_TREE_MODEL(p.sort), nullptr);
  gchar* text =
      p.query.empty()
          ? g_strdup_printf(ngettext("%d group", "%d groups", static_cast<unsigned long>(p.total)),
                            p.total)
          : g_strdup_printf(ngettext("%d of %d group matches", "%d of %d groups match",
                                     static_cast<unsigned long>(p.total)),
                            shown, p.total);
  gtk_label_set_text(p.status, text);
  g_free(text);
  if (shown == 0 && p.total > 0) {
    gchar* none =
        g_strdup_printf(_("No group matches \u201c%s\u201d"), gtk_entry_get_text(p.search));
    gtk_label_set_text(p.empty, none);
    g_free(none);
  }
  gtk_stack_set_visible_child_name(p.pages, shown == 0 && p.total > 0 ? "empty" : "list");
}

bool find_dn(Picker& p, const std::string& dn, GtkTreeIter* found) {
  GtkTreeModel* model = GTK_TREE_MODEL(p.sort);
  for (bool more = gtk_tree_model_get_iter_first(model, found); more;
       more = gtk_tree_model_iter_next(model, found)) {
    if (text_at(model, found, kDnColumn) == dn) return true;
  }
  return false;
}

void select_row(Picker& p, GtkTreeIter* iter) {
  GtkTreePath* path = gtk_tree_model_get_path(GTK_TREE_MODEL(p.sort), iter);
  gtk_tree_view_set_cursor(p.view, path, nullptr, FALSE);
  gtk_tree_view_scroll_to_cell(p.view, path, nullptr, FALSE, 0, 0);
  gtk_tree_path_free(path);
}

// After the list changed: the operator's selection stays where it is still
// shown; else, with a search text, the first match is selected so that Enter
// takes it; else the row selected before stays.
void refilter(Picker& p) {
  std::string shown;  // the row selected before, by the operator or not
  GtkTreeModel* model = nullptr;
  GtkTreeIter selected;
  if (gtk_tree_selection_get_selected(gtk_tree_view_get_selection(p.view), &model, &selected)) {
    shown = text_at(model, &selected, kDnColumn);
  }
  p.refiltering = true;
  gtk_tree_model_filter_refilter(p.filter);
  // The rank order depends on the search text: sort anew unless the operator
  // chose a column.
  GtkTreeSortable* sortable = GTK_TREE_SORTABLE(p.sort);
  gint column = 0;
  GtkSortType order = GTK_SORT_ASCENDING;
  if (!gtk_tree_sortable_get_sort_column_id(sortable, &column, &order) &&
      column == GTK_TREE_SORTABLE_DEFAULT_SORT_COLUMN_ID) {
    gtk_tree_sortable_set_sort_column_id(sortable, GTK_TREE_SORTABLE_UNSORTED_SORT_COLUMN_ID,
                                         order);
    gtk_tree_sortable_set_sort_column_id(sortable, GTK_TREE_SORTABLE_DEFAULT_SORT_COLUMN_ID, order);
  }
  p.refiltering = false;
  GtkTreeIter iter;
  p.refiltering = true;  // what is chosen here is not the operator's choice
  if (!p.chosen.empty() && find_dn(p, p.chosen, &iter)) {
    select_row(p, &iter);
  } else if (!p.query.empty() && gtk_tree_model_get_iter_first(GTK_TREE_MODEL(p.sort), &iter)) {
    select_row(p, &iter);
  } else if (!shown.empty() && find_dn(p, shown, &iter)) {
    select_row(p, &iter);
  }
  p.refiltering = false;
  allow_ok(p.window,
           gtk_tree_selection_get_selected(gtk_tree_view_get_selection(p.view), nullptr, nullptr));
  show_count(p);
}

void on_search_changed(GtkEditable* editable, gpointer data) {
  auto& p = *static_cast<Picker*>(data);
  p.query = casefold(gtk_entry_get_text(GTK_ENTRY(editable)));
  refilter(p);
  gtk_widget_queue_draw(GTK_WIDGET(p.view));  // the highlight follows the text
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
  if (!gtk_tree_model_get_iter_first(GTK_TREE_MODEL(p.sort), &first)) return FALSE;
  if (!gtk_tree_selection_get_selected(gtk_tree_view_get_selection(p.view), nullptr, nullptr)) {
    select_row(p, &first);
  }
  gtk_widget_grab_focus(GTK_WIDGET(p.view));
  return TRUE;
}

// In the list, Up on the first row goes back to the search field, and typing
// goes on in it.
gboolean on_list_key(GtkWidget*, GdkEventKey* event, gpointer data) {
  auto& p = *static_cast<Picker*>(data);
  if (event->keyval == GDK_KEY_Up || event->keyval == GDK_KEY_KP_Up) {
    GtkTreePath* path = nullptr;
    gtk_tree_view_get_cursor(p.view, &path, nullptr);
    const bool top = path == nullptr || gtk_tree_path_get_indices(path)[0] == 0;
    gtk_tree_path_free(path);
    if (top) gtk_widget_grab_focus(GTK_WIDGET(p.search));
    return top;
  }
  return forward_typing(event, p.search);
}

// Escape with a search text clears it first (the selection stays); only
// then does it cancel.
gboolean on_window_key(GtkWidget*, GdkEventKey* event, gpointer data) {
  auto& p = *static_cast<Picker*>(data);
  if (event->keyval != GDK_KEY_Escape || *gtk_entry_get_text(p.search) == '\0') return FALSE;
  gtk_entry_set_text(p.search, "");
  gtk_widget_grab_focus(GTK_WIDGET(p.search));
  return TRUE;
}

void on_selection_changed(GtkTreeSelection* selection, gpointer data) {
  auto& p = *static_cast<Picker*>(data);
  GtkTreeModel* model = nullptr;
  GtkTreeIter iter;
  const bool selected = gtk_tree_selection_get_selected(selection, &model, &iter);
  allow_ok(p.window, selected);
  if (!p.refiltering && selected) p.chosen = text_at(model, &iter, kDnColumn);
}

void on_row_activated(GtkTreeView*, GtkTreePath*, GtkTreeViewColumn*, gpointer data) {
  gtk_dialog_response(static_cast<Picker*>(data)->window.dialog, GTK_RESPONSE_OK);
}

// The name, its match in bold, over a dim line with the type and folder.
void render_name(GtkTreeViewColumn*, GtkCellRenderer* cell, GtkTreeModel* model, GtkTreeIter* iter,
                 gpointer data) {
  const auto& p = *static_cast<Picker*>(data);
  gchar* detail = g_markup_escape_text(text_at(model, iter, kDetailColumn).c_str(), -1);
  const std::string markup = highlighted(text_at(model, iter, kNameColumn), p.query) +
                             "\n<small><span alpha=\"65%\">" + detail + "</span></small>";
  g_free(detail);
  g_object_set(cell, "markup", markup.c_str(), nullptr);
}

void add_groups(Picker& p, const std::vector<GroupEntry>& groups) {
  for (const auto& group : groups) {
    const std::string folder = folder_of(group.dn);
    std::string tip = group.account.empty() ? group.name : group.account;
    if (!group.description.empty()) tip += "\n" + group.description;
    gchar* markup = g_markup_escape_text(tip.c_str(), -1);
    const std::string detail = group_type_label(group.group_type) + " \u00b7 " + folder;
    const std::string match =
        casefold(group.name + "\n" + group.account + "\n" + group.description + "\n" + folder);
    const std::string rank = casefold(group.name + "\n" + group.account);
    gtk_list_store_insert_with_values(
        p.store, nullptr, -1, kNameColumn, group.name.c_str(), kAccountColumn,
        group.account.c_str(), kDetailColumn, detail.c_str(), kTooltipColumn, markup, kDnColumn,
        group.dn.c_str(), kMatchColumn, match.c_str(), kRankColumn, rank.c_str(), -1);
    g_free(markup);
  }
  p.loaded = true;
  p.total = static_cast<int>(groups.size());
  refilter(p);
}

GtkTreeViewColumn* add_column(Picker& p, const char* title, int sort_column, bool expand) {
  GtkCellRenderer* text = gtk_cell_renderer_text_new();
  g_object_set(text, "ellipsize", PANGO_ELLIPSIZE_MIDDLE, nullptr);
  GtkTreeViewColumn* column = gtk_tree_view_column_new_with_attributes(title, text, nullptr);
  if (sort_column == kNameColumn) {
    gtk_tree_view_column_set_cell_data_func(column, text, render_name, &p, nullptr);
  } else {
    gtk_tree_view_column_add_attribute(column, text, "text", sort_column);
  }
  gtk_tree_view_column_set_resizable(column, TRUE);
  gtk_tree_view_column_set_expand(column, expand);
  gtk_tree_view_column_set_sort_column_id(column, sort_column);
  gtk_tree_sortable_set_sort_func(GTK_TREE_SORTABLE(p.sort), sort_column, by_column,
                                  GINT_TO_POINTER(sort_column), nullptr);
  gtk_tree_view_append_column(p.view, column);
  return column;
}

GtkTreeView* new_list(Picker& p) {
  p.store = gtk_list_store_new(kColumnCount, G_TYPE_STRING, G_TYPE_STRING, G_TYPE_STRING,
                               G_TYPE_STRING, G_TYPE_STRING, G_TYPE_STRING, G_TYPE_STRING);
  p.filter = GTK_TREE_MODEL_FILTER(gtk_tree_model_filter_new(GTK_TREE_MODEL(p.store), nullptr));
  g_object_unref(p.store);  // the filter holds it
  gtk_tree_model_filter_set_visible_func(p.filter, is_visible, &p, nullptr);
  p.sort = GTK_TREE_MODEL_SORT(gtk_tree_model_sort_new_with_model(GTK_TREE_MODEL(p.filter)));
  g_object_unref(p.filter);  // the sort holds it
  gtk_tree_sortable_set_default_sort_func(GTK_TREE_SORTABLE(p.sort), by_rank, &p, nullptr);
  gtk_tree_sortable_set_sort_column_id(
      GTK_TREE_SORTABLE(p.sort), GTK_TREE_SORTABLE_DEFAULT_SORT_COLUMN_ID, GTK_SORT_ASCENDING);
  GtkWidget* widget = gtk_tree_view_new_with_model(GTK_TREE_MODEL(p.sort));
  g_object_unref(p.sort);  // the view holds it
  p.view = GTK_TREE_VIEW(widget);
  gtk_tree_view_set_enable_search(p.view, FALSE);  // the search field does that
  gtk_tree_view_set_tooltip_column(p.view, kTooltipColumn);
  atk_object_set_name(gtk_widget_get_accessible(widget), _("Security groups"));
  add_column(p, _("Name"), kNameColumn, true);
  add_column(p, _("Account name"), kAccountColumn, false);

  GtkTreeSelection* selection = gtk_tree_view_get_selection(p.view);
  gtk_tree_selection_set_mode(selection, GTK_SELECTION_SINGLE);
  g_signal_connect(selection, "changed", G_CALLBACK(on_selection_changed), &p);
  g_signal_connect(widget, "row-activated", G_CALLBACK(on_row_activated), &p);
  g_signal_connect(widget, "key-press-event", G_CALLBACK(on_list_key), &p);
  return p.view;
}

void build(Picker& p) {
  GtkWidget* label = gtk_label_new_with_mnemonic(_("_Search for a security group:"));
  gtk_label_set_xalign(GTK_LABEL(label), 0.0f);
  gtk_box_pack_start(p.window.content, label, FALSE, FALSE, 0);

  p.search = GTK_ENTRY(gtk_entry_new());
  gtk_entry_set_placeholder_text(p.search, _("Name, account name, description or folder"));
  gtk_entry_set_icon_from_icon_name(p.search, GTK_ENTRY_ICON_PRIMARY, "edit-find-symbolic");
  gtk_label_set_mnemonic_widget(GTK_LABEL(label), GTK_WIDGET(p.search));
  g_signal_connect(p.search, "changed", G_CALLBACK(on_search_changed), &p);
  g_signal_connect(p.search, "activate", G_CALLBACK(on_search_activate), &p);
  g_signal_connect(p.search, "key-press-event", G_CALLBACK(on_search_key), &p);
  gtk_box_pack_start(p.window.content, GTK_WIDGET(p.search), FALSE, FALSE, 0);

  new_list(p);
  GtkWidget* scroll = gtk_scrolled_window_new(nullptr, nullptr);
  gtk_scrolled_window_set_shadow_type(GTK_SCROLLED_WINDOW(scroll), GTK_SHADOW_IN);
  gtk_scrolled_window_set_policy(GTK_SCROLLED_WINDOW(scroll), GTK_POLICY_NEVER,
                                 GTK_POLICY_AUTOMATIC);
  gtk_container_add(GTK_CONTAINER(scroll), GTK_WIDGET(p.view));
  p.empty = GTK_LABEL(gtk_label_new(""));
  gtk_label_set_line_wrap(p.empty, TRUE);
  gtk_style_context_add_class(gtk_widget_get_style_context(GTK_WIDGET(p.empty)), "dim-label");
  p.pages = GTK_STACK(gtk_stack_new());
  gtk_stack_add_named(p.pages, scroll, "list");
  gtk_stack_add_named(p.pages, GTK_WIDGET(p.empty), "empty");
  gtk_box_pack_start(p.window.content, GTK_WIDGET(p.pages), TRUE, TRUE, 0);

  GtkWidget* status_row = gtk_box_new(GTK_ORIENTATION_HORIZONTAL, 6);
  p.spinner = GTK_SPINNER(gtk_spinner_new());
  gtk_spinner_start(p.spinner);
  p.status = GTK_LABEL(gtk_label_new(_("Searching the directory\u2026")));
  gtk_label_set_xalign(p.status, 0.0f);
  gtk_label_set_ellipsize(p.status, PANGO_ELLIPSIZE_END);
  gtk_style_context_add_class(gtk_widget_get_style_context(GTK_WIDGET(p.status)), "dim-label");
  gtk_box_pack_start(GTK_BOX(status_row), GTK_WIDGET(p.spinner), FALSE, FALSE, 0);
  gtk_box_pack_start(GTK_BOX(status_row), GTK_WIDGET(p.status), TRUE, TRUE, 0);
  gtk_box_pack_start(p.window.content, status_row, FALSE, FALSE, 0);
  g_signal_connect(p.window.dialog, "key-press-event", G_CALLBACK(on_window_key), &p);
}

// Reads the forest, then its groups; a directory that cannot be read at all
// ends the dialog with the reason, a failed group search says why below the
// list.
void start_reading(Picker& p) {
  struct Read {
    Status init, groups;
    std::vector<GroupEntry> entries;
  };
  auto read = std::make_shared<Read>();
  run_in_background(
      [reader = p.reader, read] {
        read->init = reader->init();
        if (read->init.ok()) read->groups = reader->security_groups(read->entries);
      },
      [&p, read] {
        gtk_spinner_stop(p.spinner);
        gtk_widget_hide(GTK_WIDGET(p.spinner));
        if (read->init.failed()) {
          p.failure = read->init;
          gtk_dialog_response(p.window.dialog, GTK_RESPONSE_CANCEL);
        } else if (read->groups.failed()) {
          const std::string text = _("Cannot read the groups: ") + describe(read->groups);
          gtk_label_set_text(p.status, text.c_str());
        } else {
          add_groups(p, read->entries);
        }
      });
}

TestHook test_hook(Picker& p) {
  return {
      [](const std::string&, const std::string&) { return false; },
      [&p] {
        GtkTreeModel* model = nullptr;
        GtkTreeIter iter;
        std::string selected = "-";
        if (gtk_tree_selection_get_selected(gtk_tree_view_get_selection(p.view), &model, &iter)) {
          selected = text_at(model, &iter, kNameColumn);
        }
        const int shown = gtk_tree_model_iter_n_children(GTK_TREE_MODEL(p.sort), nullptr);
        return "selected=" + selected + "; search=" + gtk_entry_get_text(p.search) +
               "; shown=" + std::to_string(shown) +
               "; focus=" + focus_name(GTK_WIDGET(p.window.dialog)) +
               "; page=" + gtk_stack_get_visible_child_name(p.pages);
      }};
}

}  // namespace

dialogs::DialogReply run_group_picker(const dialogs::DialogRequest& request,
                                      DirectoryReader& reader) {
  dialogs::DialogReply reply;
  Picker p;
  p.reader = &reader;
  p.window = new_dialog_window(request.caption.value_or(_("Select Group")), 46, 34);
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
  start_reading(p);
  gtk_widget_grab_focus(GTK_WIDGET(p.search));
  start_test_hook(GTK_WIDGET(p.window.dialog), test_hook(p));

  reply.outcome = dialogs::Outcome::cancelled;
  const bool chosen = run_dialog_window(p.window);
  close_background();
  GtkTreeModel* model = nullptr;
  GtkTreeIter iter;
  if (p.failure.failed()) {
    reply.outcome = dialogs::Outcome::failed;
    reply.status = p.failure;
    reply.text = "cannot read the directory: " + describe(p.failure);
  } else if (chosen &&
             gtk_tree_selection_get_selected(gtk_tree_view_get_selection(p.view), &model, &iter)) {
    reply.outcome = dialogs::Outcome::chosen;
    reply.paths.push_back(reader.ldap_path(text_at(model, &iter, kDnColumn)));
  }
  gtk_widget_destroy(GTK_WIDGET(p.window.dialog));
  return reply;
}

}  // namespace txads::dialog
