#include "directory/listing_ahead.h"

#include "directory/ldap_path.h"
#include "directory/object_state.h"
#include "directory/page_reader.h"

namespace txads::directory {
namespace {

thread_local ListingAhead* current = nullptr;

}  // namespace

ListingAhead::ListingAhead(std::string_view path, const ClassFilter& classes) {
  LdapPath parsed;
  if (current || parse_path(path, parsed).failed() || parsed.dn.empty()) return;
  reader_ = std::make_unique<PageReader>();
  if (reader_
          ->ask(parsed.endpoint,
                {parsed.dn, Scope::one_level, class_filter(classes), {"objectClass"}})
          .failed())
    return;
  endpoint_key_ = parsed.endpoint.key();
  current = this;
  active_ = true;
}

ListingAhead::~ListingAhead() {
  if (active_) current = nullptr;
}

Connection* listing_ahead_connection(const Endpoint& endpoint) {
  if (!current || !current->reader_ || endpoint.key() != current->endpoint_key_) return nullptr;
  return current->reader_->asking_on();
}

std::unique_ptr<PageReader> take_listing_ahead(const Endpoint& endpoint) {
  if (!current || !current->reader_ || endpoint.key() != current->endpoint_key_) return nullptr;
  return std::move(current->reader_);
}

void drop_listing_ahead(int ldap_result) {
  if (current && current->reader_) current->reader_->drop(ldap_result);
}

}  // namespace txads::directory
