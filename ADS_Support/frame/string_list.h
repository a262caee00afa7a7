// StringList: an ordered list of strings with add at tail, remove from head
// and an emptiness test. Used for the sub-group queues of the nested group
// search and for the group picker's selection. Not shared between threads.
#pragma once

#include <deque>
#include <stdexcept>
#include <string>

namespace txads {

class StringList {
 public:
  void add_tail(std::string text) { items_.push_back(std::move(text)); }
  // Throws std::out_of_range on an empty list (a walk past the end is a
  // programming error; the export frame turns it into a failure result).
  std::string remove_head() {
    if (items_.empty()) throw std::out_of_range("StringList::remove_head on an empty list");
    std::string head = std::move(items_.front());
    items_.pop_front();
    return head;
  }
  bool empty() const { return items_.empty(); }
  size_t size() const { return items_.size(); }
  auto begin() const { return items_.begin(); }
  auto end() const { return items_.end(); }

 private:
  std::deque<std::string> items_;
};

}  // namespace txads
