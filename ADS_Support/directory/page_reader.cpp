#include "directory/page_reader.h"

#include <algorithm>

#include "directory/status_map.h"

namespace txads::directory {

PageReader::~PageReader() {
  if (message_id_ < 0 || lease_.connection() == nullptr) return;
  lease_.end(abandon_request(lease_.connection()->ld(), message_id_));
}

void PageReader::drop(int ldap_result) {
  message_id_ = -1;
  ask_failure_ = ldap_result;
  lease_.end(ldap_result);
}

Status PageReader::ask(const Endpoint& endpoint, SearchRequest query) {
  endpoint_key_ = endpoint.key();
  query_ = std::move(query);
  const Status status =
      lease_.open(endpoint, [&](Connection& connection) { return send_first(connection.ld()); });
  if (status.failed() || message_id_ < 0) {
    message_id_ = -1;
    lease_.end(ask_failure_);
  }
  return status;
}

Status PageReader::start(const Endpoint& endpoint, SearchRequest query,
                         std::vector<Entry>& entries) {
  if (asking_on() && endpoint.key() == endpoint_key_ && query == query_) {
    const int rc = take(lease_.connection()->ld(), entries);
    if (rc == LDAP_SUCCESS) {
      if (message_id_ < 0) lease_.end(ask_failure_);
      return kOk;
    }
    lease_.end(rc);  // asked again below, on a connection that answers
  }
  query_ = std::move(query);
  const Status status = lease_.open(endpoint, [&](Connection& connection) {
    const int rc = send_first(connection.ld());
    return rc == LDAP_SUCCESS ? take(connection.ld(), entries) : rc;
  });
  if (status.failed() || message_id_ < 0) lease_.end(ask_failure_);
  return status;
}

Status PageReader::next_page(std::vector<Entry>& entries) {
  entries.clear();
  if (message_id_ < 0)
    return ask_failure_ == LDAP_SUCCESS ? kFalse : status_from_ldap(ask_failure_);
  const int rc = take(lease_.connection()->ld(), entries);
  const Status status = status_from_ldap(rc, lease_.connection()->ld());
  if (rc != LDAP_SUCCESS) {
    lease_.end(rc);
  } else if (message_id_ < 0) {
    lease_.end(ask_failure_);
  }
  return status;
}

int PageReader::send_first(LDAP* ld) {
  cookie_.reset();
  ask_failure_ = LDAP_SUCCESS;
  page_entries_ = std::min(kFirstPageEntries, page_size());
  message_id_ = -1;
  const int rc = send_search(ld, query_, page_entries_, nullptr, message_id_);
  if (rc != LDAP_SUCCESS) message_id_ = -1;
  return rc;
}

int PageReader::take(LDAP* ld, std::vector<Entry>& entries) {
  entries.clear();
  const int rc = receive_search(ld, message_id_, entries, cookie_);
  message_id_ = -1;
  if (rc != LDAP_SUCCESS || !cookie_) return rc;
  // This page is good whatever becomes of the request for the next one: a
  // failure to ask is reported by the next call instead.
  page_entries_ = std::min(page_entries_ * 2, page_size());
  const int asked = send_search(ld, query_, page_entries_, cookie_.get(), message_id_);
  if (asked != LDAP_SUCCESS) {
    message_id_ = -1;
    ask_failure_ = asked;
  }
  return LDAP_SUCCESS;
}

}  // namespace txads::directory
