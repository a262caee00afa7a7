// IEnumVARIANT: items one at a time, from the list an enumeration was made
// with, or page by page from the directory as the caller reaches them.
#include "directory/object_state.h"

namespace txads::directory {

void add_states(const Endpoint& endpoint, std::vector<Entry>& entries,
                std::vector<std::shared_ptr<ObjectState>>& states) {
  states.reserve(states.size() + entries.size());
  for (Entry& entry : entries) {
    auto state = std::make_shared<ObjectState>();
    state->endpoint = endpoint;
    state->dn = std::move(entry.dn);
    if (const auto* classes = entry.find("objectClass")) state->classes = *classes;
    states.push_back(std::move(state));
  }
}

Status Enumerator::next(Object& item) {
  item = Object();
  if (!state_) return kObjectUnbound;
  EnumState& listing = *state_;
  // A page may hold no entries and still have more pages after it.
  while (listing.next >= listing.items.size()) {
    if (!listing.pages) return kFalse;
    std::vector<Entry> entries;
    const Status status = listing.pages->next_page(entries);
    if (status != kOk) {
      listing.pages.reset();
      return status;
    }
    listing.items.clear();
    listing.next = 0;
    add_states(listing.endpoint, entries, listing.items);
  }
  item = Binder::make<Object>(listing.items[listing.next++]);
  return kOk;
}

}  // namespace txads::directory
