#include "directory/search_ahead.h"

#include <algorithm>
#include <iterator>
#include <utility>
#include <vector>

#include "directory/ldap_ops.h"
#include "directory/ldap_path.h"

namespace txads::directory {
namespace {

thread_local std::vector<SearchAhead*> asked;

}  // namespace

SearchAhead::SearchAhead(const Endpoint& endpoint, SearchRequest query)
    : endpoint_key_(endpoint.key()), query_(std::move(query)) {
  int sent = LDAP_SUCCESS;
  // After an earlier ask to the endpoint, on its connection: both travel together.
  if (Connection* lent = search_ahead_connection(endpoint)) {
    sent = send_first_page(lent->ld(), query_, message_id_);
    if (sent == LDAP_SUCCESS) on_ = lent;
  } else {
    const Status status = lease_.open(endpoint, [&](Connection& connection) {
      sent = send_first_page(connection.ld(), query_, message_id_);
      return sent;
    });
    if (status.ok() && sent == LDAP_SUCCESS) on_ = lease_.connection();
    if (on_ == nullptr) lease_.end(sent);
  }
  if (on_ == nullptr) {
    message_id_ = -1;
    return;
  }
  asked.push_back(this);
}

SearchAhead::~SearchAhead() {
  asked.erase(std::remove(asked.begin(), asked.end(), this), asked.end());
  if (on_ == nullptr) return;
  if (message_id_ >= 0) abandon_request(on_->ld(), message_id_);
  // Asks that borrowed this connection lose it with this one.
  if (lease_.connection() != nullptr) release(*on_, true);
  lease_.end(LDAP_SUCCESS);
}

SearchAhead* SearchAhead::release(const Connection& connection, bool abandon) {
  SearchAhead* owner = nullptr;
  for (SearchAhead* ahead : asked) {
    if (ahead->on_ != &connection) continue;
    if (abandon && ahead->message_id_ >= 0) abandon_request(ahead->on_->ld(), ahead->message_id_);
    ahead->on_ = nullptr;
    ahead->message_id_ = -1;
    if (ahead->lease_.connection() != nullptr) owner = ahead;
  }
  return owner;
}

Connection* search_ahead_connection(const Endpoint& endpoint) {
  if (asked.empty()) return nullptr;
  const std::string key = endpoint.key();
  for (SearchAhead* ahead : asked) {
    if (ahead->on_ != nullptr && ahead->endpoint_key_ == key) return ahead->on_;
  }
  return nullptr;
}

const std::vector<Entry>* SearchAhead::arrived() {
  if (answer_) return &*answer_;
  if (on_ == nullptr || message_id_ < 0) return nullptr;
  std::vector<Entry> entries;
  const int rc = receive_if_arrived(*on_, query_, message_id_, entries);
  if (rc == kNotArrived) return nullptr;
  message_id_ = -1;
  if (rc != LDAP_SUCCESS) return nullptr;  // the operation asks again for itself
  answer_ = std::move(entries);
  return &*answer_;
}

Asked take_search_ahead(Connection& connection, const SearchRequest& query, int& message_id,
                        std::vector<Entry>& entries, int& result) {
  for (SearchAhead* ahead : asked) {
    if (ahead->on_ != &connection || !(ahead->query_ == query)) continue;
    if (ahead->answer_) {
      std::move(ahead->answer_->begin(), ahead->answer_->end(), std::back_inserter(entries));
      ahead->answer_.reset();
      result = LDAP_SUCCESS;
      return Asked::answered;
    }
    if (ahead->message_id_ >= 0) {
      message_id = std::exchange(ahead->message_id_, -1);
      return Asked::pending;
    }
  }
  return Asked::no;
}

void drop_search_ahead(const Connection& connection, int ldap_result) {
  if (SearchAhead* owner = SearchAhead::release(connection, false)) owner->lease_.end(ldap_result);
}

std::unique_ptr<SearchAhead> ask_group_bind(std::string_view path) {
  LdapPath parsed;
  if (parse_path(path, parsed).failed() || parsed.dn.empty()) return nullptr;
  return std::make_unique<SearchAhead>(parsed.endpoint,
                                       bind_request(parsed.dn, /*with_members=*/true));
}

std::unique_ptr<SearchAhead> ask_dn_translation(std::string_view name) {
  std::string dn;
  if (name.empty() || parse_dn(name, dn).failed()) return nullptr;
  return std::make_unique<SearchAhead>(global_catalog(), translation_request(dn));
}

std::string nt4_from_answer(const SearchAhead& translation, const std::vector<Entry>& answer) {
  std::string found_dn, nt4;
  if (translation_answer(translation.query_.base, answer, found_dn, nt4).failed()) return {};
  return nt4;
}

}  // namespace txads::directory
