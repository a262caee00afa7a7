// The container browser's tree: the forest's domains and the containers and
// organisational units below them, read in the background one branch at a
// time and one level ahead (so a row has an expander only when it has
// children). A branch being read shows a "Loading…" row; one that failed
// shows the whole error (tooltip) and is read again when reopened or when its
// error row is activated. Advanced-view-only containers are left out unless
// the system switch is on. Keys as in a file tree: Right and double-click
// open, Left closes. GUI thread only.
#pragma once

#include <gtk/gtk.h>

#include <functional>
#include <map>
#include <string>
#include <vector>

#include "directory_reader.h"

namespace txads::dialog {

class BrowserTree {
 public:
  explicit BrowserTree(const DirectoryReader& reader);
  BrowserTree(const BrowserTree&) = delete;
  BrowserTree& operator=(const BrowserTree&) = delete;

  GtkTreeView* view() const { return view_; }

  // Shows the domains, the operator's own opened, nothing selected.
  void show_domains();

  // Shows or hides the advanced-view-only containers; open branches stay
  // open and the selection stays where it can.
  void show_system(bool shown);

  // Opens the branches down to dn (reading them as needed), then selects
  // and shows it.
  void reveal(const std::string& dn);

  // The selected entry's dn, "" when none.
  std::string selected_dn() const;

  // Opens or closes the first row named `name` (as a double-click does), or
  // selects it: for the test hook. False when no such row is shown.
  bool activate_named(const std::string& name);
  bool select_named(const std::string& name);

  // "selected=…; open=…; failed=…; top=…" for the test hook.
  std::string state() const;

  // Called when the selection changed, and when Enter chooses the selection.
  std::function<void()> on_selection;
  std::function<void()> on_choose;

 private:
  struct Branch {
    Status status;
    std::vector<DirectoryNode> nodes;
    bool loading = false;
    bool read = false;
  };

  static gboolean on_test_expand_row(GtkTreeView*, GtkTreeIter*, GtkTreePath*, gpointer);
  static void on_row_activated(GtkTreeView*, GtkTreePath*, GtkTreeViewColumn*, gpointer);
  static gboolean on_key(GtkWidget*, GdkEventKey*, gpointer);
  static gboolean can_select(GtkTreeSelection*, GtkTreeModel*, GtkTreePath*, gboolean, gpointer);

  void add_row(GtkTreeIter* parent, const DirectoryNode& node);
  bool visible(const DirectoryNode& node) const;
  void load(const std::string& dn);
  void loaded(const std::string& dn);
  // Puts what is known of dn's children below `row`: the children, a
  // loading row or an error row. False when it has no children to show.
  bool fill(GtkTreeIter* row);
  void retry(GtkTreeIter* error_row);
  void toggle(GtkTreePath* path);
  void continue_reveal();
  bool find_row(const std::string& dn, GtkTreeIter* found) const;
  bool find_named(const std::string& name, GtkTreeIter* found) const;
  int kind_at(GtkTreeIter* iter) const;
  std::string dn_at(GtkTreeIter* iter) const;

  const DirectoryReader& reader_;
  GtkTreeStore* store_ = nullptr;
  GtkTreeView* view_ = nullptr;
  bool show_system_ = false;
  std::map<std::string, Branch> branches_;
  std::vector<std::string> reveal_chain_;  // domain first, the entry to show last
};

}  // namespace txads::dialog
