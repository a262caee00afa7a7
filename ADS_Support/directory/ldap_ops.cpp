// Search paging follows RFC 2696 with the cookie of each answer; ranged
// retrieval reads "attr;range=low-high" answers until a range ends in "*".
#include "directory/ldap_ops.h"

#include <algorithm>
#include <atomic>
#include <charconv>
#include <iterator>

#include "directory/call_budget.h"
#include "directory/client_config.h"
#include "directory/ldap_owners.h"
#include "directory/ldap_path.h"
#include "directory/operation_counter.h"
#include "directory/search_ahead.h"
#include "directory/socket_layer.h"
#include "frame/ascii_case.h"

namespace txads::directory {
namespace {

std::atomic<int> entries_per_page{1000};
std::atomic<int> values_per_range{0};
std::atomic<AnswerFilter> answer_filter{nullptr};

// A null-terminated array of C strings viewing `names`.
std::vector<char*> c_strings(const std::vector<std::string>& names) {
  std::vector<char*> out;
  for (const std::string& name : names) out.push_back(const_cast<char*>(name.c_str()));
  out.push_back(nullptr);
  return out;
}

// The entry's dn and values are read in place and copied once, into the
// Entry.
Entry to_entry(LDAP* ld, LDAPMessage* message) {
  Entry entry;
  BerElement* raw_ber = nullptr;
  berval dn{};
  const int rc = ldap_get_dn_ber(ld, message, &raw_ber, &dn);
  Ber ber(raw_ber);
  if (rc != LDAP_SUCCESS) return entry;
  entry.dn.assign(dn.bv_val, dn.bv_len);
  for (;;) {
    berval name{};
    berval* raw_values = nullptr;  // not set when no attribute is left
    const int got = ldap_get_attribute_ber(ld, message, ber.get(), &name, &raw_values);
    InPlaceValues values(raw_values);
    if (got != LDAP_SUCCESS || name.bv_val == nullptr) break;
    auto& out = entry.attributes[std::string(name.bv_val, name.bv_len)];
    for (const berval* v = values.get(); v && v->bv_val; ++v)
      out.emplace_back(v->bv_val, v->bv_len);
  }
  return entry;
}

// The DNs that a continuation reference's URLs name.
void add_reference_dns(LDAP* ld, LDAPMessage* reference, std::vector<std::string>& dns) {
  char** raw_urls = nullptr;
  const int rc = ldap_parse_reference(ld, reference, &raw_urls, nullptr, 0);
  Strings urls(raw_urls);
  if (rc != LDAP_SUCCESS) return;
  for (char** url = urls.get(); url && *url; ++url) {
    LDAPURLDesc* raw_parsed = nullptr;
    const int parsed_rc = ldap_url_parse(*url, &raw_parsed);
    Url parsed(raw_parsed);
    if (parsed_rc == LDAP_URL_SUCCESS && parsed->lud_dn && *parsed->lud_dn)
      dns.emplace_back(parsed->lud_dn);
  }
}

// Collects the entries of one answer and the paging cookie of its result.
int collect(LDAP* ld, LDAPMessage* answer, std::vector<Entry>& entries, Berval& cookie,
            std::vector<std::string>* references) {
  cookie.reset();
  int result = LDAP_SUCCESS;
  for (LDAPMessage* m = ldap_first_message(ld, answer); m; m = ldap_next_message(ld, m)) {
    const int type = ldap_msgtype(m);
    if (type == LDAP_RES_SEARCH_ENTRY) {
      entries.push_back(to_entry(ld, m));
    } else if (type == LDAP_RES_SEARCH_RESULT) {
      LDAPControl** raw_controls = nullptr;
      int rc = ldap_parse_result(ld, m, &result, nullptr, nullptr, nullptr, &raw_controls, 0);
      Controls controls(raw_controls);
      if (rc != LDAP_SUCCESS) return rc;
      LDAPControl* page = ldap_control_find(LDAP_CONTROL_PAGEDRESULTS, controls.get(), nullptr);
      if (page != nullptr) {
        ber_int_t estimate = 0;
        berval value{};
        rc = ldap_parse_pageresponse_control(ld, page, &estimate, &value);
        if (rc != LDAP_SUCCESS) return rc;
        if (value.bv_len > 0) {
          cookie.reset(ber_bvdup(&value));
          if (!cookie) rc = LDAP_NO_MEMORY;
        }
        ber_memfree(value.bv_val);
        if (rc != LDAP_SUCCESS) return rc;
      }
    } else if (type == LDAP_RES_SEARCH_REFERENCE && references != nullptr) {
      add_reference_dns(ld, m, *references);
    }
    // Continuation references point into other partitions: never chased here.
  }
  return result;
}

int ldap_scope(Scope scope) {
  switch (scope) {
    case Scope::base:
      return LDAP_SCOPE_BASE;
    case Scope::one_level:
      return LDAP_SCOPE_ONELEVEL;
    case Scope::subtree:
      break;
  }
  return LDAP_SCOPE_SUBTREE;
}

// "member;range=0-1499" -> high "1499"; false when `name` is not a range of
// `attribute`.
bool range_of(const std::string& name, const std::string& attribute, std::string& high) {
  const std::string prefix = attribute + ";range=";
  if (name.size() <= prefix.size() || !equal_ignoring_case(name.substr(0, prefix.size()), prefix))
    return false;
  const size_t dash = name.find('-', prefix.size());
  if (dash == std::string::npos) return false;
  high = name.substr(dash + 1);
  return true;
}

int send_mods(Connection& connection, const std::string& dn, const std::vector<Change>& changes,
              bool add, int& message_id) {
  std::vector<std::vector<berval>> values(changes.size());
  std::vector<std::vector<berval*>> pointers(changes.size());
  std::vector<LDAPMod> mods(changes.size());
  std::vector<LDAPMod*> list;
  for (size_t i = 0; i < changes.size(); ++i) {
    for (const std::string& v : changes[i].values) {
      values[i].push_back(berval{v.size(), const_cast<char*>(v.data())});
    }
    for (berval& v : values[i]) pointers[i].push_back(&v);
    pointers[i].push_back(nullptr);
    mods[i].mod_op = changes[i].op | LDAP_MOD_BVALUES;
    mods[i].mod_type = const_cast<char*>(changes[i].attribute.c_str());
    mods[i].mod_bvalues = changes[i].values.empty() ? nullptr : pointers[i].data();
    list.push_back(&mods[i]);
  }
  list.push_back(nullptr);
  count_operation();
  if (add)
    return ldap_add_ext(connection.ld(), dn.c_str(), list.data(), nullptr, nullptr, &message_id);
  return ldap_modify_ext(connection.ld(), dn.c_str(), list.data(), nullptr, nullptr, &message_id);
}

// One wait of ldap_result for the whole answer to `message_id`: its type,
// 0 when `limit` passed first.
int wait_for(LDAP* ld, int message_id, timeval limit, Message& answer) {
  LDAPMessage* raw = nullptr;
  const int type = ldap_result(ld, message_id, LDAP_MSG_ALL, &limit, &raw);
  answer.reset(raw);
  return type;
}

// Waits for the whole answer to request `message_id`: LDAP_CONNECT_ERROR
// when the server sent nothing at all within the connect timeout (or the
// operation timeout when shorter; it is hung), LDAP_TIMEOUT when its answer
// did not complete within the operation timeout; both within the time left
// in the call. The request is abandoned either way. Without `wait`,
// kNotArrived when the whole answer has not come yet (one that libldap read
// along with another is taken).
int await_answer(LDAP* ld, int message_id, Message& answer, bool wait) {
  int type = 0;
  if (!wait) {
    type = wait_for(ld, message_id, {0, 0}, answer);
    if (type == 0) return kNotArrived;
  } else {
    // The first wait ends by the time a server that sends nothing counts as
    // hung; the bytes the connection received tell whether it sent anything
    // (for this request or another on the same connection). A connection
    // without the counting layer counts as one that did.
    const std::optional<uint64_t> before = bytes_heard(ld);
    const timeval network = network_timeout(ld), operation = operation_timeout(ld);
    const timeval& silence =
        milliseconds_of(network) < milliseconds_of(operation) ? network : operation;
    type = wait_for(ld, message_id, bounded_timeout(silence), answer);
    if (type == 0) {
      if (before && bytes_heard(ld) == before) {
        abandon_request(ld, message_id);
        return LDAP_CONNECT_ERROR;
      }
      type = wait_for(ld, message_id, bounded_timeout(operation), answer);
    }
    if (type == 0) {
      abandon_request(ld, message_id);
      return LDAP_TIMEOUT;
    }
  }
  if (type < 0) {
    int rc = LDAP_LOCAL_ERROR;
    ldap_get_option(ld, LDAP_OPT_RESULT_CODE, &rc);
    return rc != LDAP_SUCCESS ? rc : LDAP_LOCAL_ERROR;
  }
  return LDAP_SUCCESS;
}

// The result of a write sent as `message_id` (when `sent` succeeded). A
// server that stays silent gives LDAP_TIMEOUT, not LDAP_CONNECT_ERROR: the
// write may have been applied, so it must not be sent again elsewhere.
int write_result(LDAP* ld, int sent, int message_id) {
  if (sent != LDAP_SUCCESS) return sent;
  Message answer;
  int rc = await_answer(ld, message_id, answer, true);
  if (rc == LDAP_CONNECT_ERROR) return LDAP_TIMEOUT;
  if (rc != LDAP_SUCCESS) return rc;
  int result = LDAP_OTHER;
  rc = ldap_parse_result(ld, answer.get(), &result, nullptr, nullptr, nullptr, nullptr, 0);
  return rc != LDAP_SUCCESS ? rc : result;
}

}  // namespace

int send_search(LDAP* ld, const SearchRequest& query, int page_entries, const berval* cookie,
                int& message_id) {
  static char no_attributes[] = LDAP_NO_ATTRS;
  std::vector<char*> attributes = c_strings(query.attributes);
  if (query.attributes.empty()) attributes.insert(attributes.begin(), no_attributes);
  timeval time_limit = operation_timeout(ld);

  LDAPControl* raw_page = nullptr;
  if (page_entries > 0) {
    const int rc =
        ldap_create_page_control(ld, page_entries, const_cast<berval*>(cookie), 0, &raw_page);
    if (rc != LDAP_SUCCESS) return rc;
  }
  Control page(raw_page);
  LDAPControl* controls[] = {page.get(), nullptr};
  count_operation();
  return ldap_search_ext(ld, query.base.c_str(), ldap_scope(query.scope), query.filter.c_str(),
                         attributes.data(), 0, page ? controls : nullptr, nullptr, &time_limit,
                         query.size_limit > 0 ? query.size_limit : LDAP_NO_LIMIT, &message_id);
}

namespace {

// Entries per page of a search_entries query: a size-limited search asks
// for less than a page, and one answer holds it; base searches are unpaged.
int page_entries_of(const SearchRequest& query) {
  const bool paged = query.paged && query.scope != Scope::base && query.size_limit <= 0;
  return paged ? page_size() : 0;
}

}  // namespace

int receive_search(LDAP* ld, int message_id, std::vector<Entry>& entries, Berval& cookie,
                   std::vector<std::string>* references, bool wait) {
  Message answer;
  const int rc = await_answer(ld, message_id, answer, wait);
  if (rc != LDAP_SUCCESS) return rc;
  return collect(ld, answer.get(), entries, cookie, references);
}

namespace {

// One answer to `query`, through the tests' answer filter. With `referred`,
// a referral or a missing base is recorded there and is no failure.
int receive_answer(Connection& connection, const SearchRequest& query, int message_id,
                   std::vector<Entry>& entries, Berval& cookie, Referred* referred,
                   bool wait = true) {
  std::vector<Entry> answer;
  std::vector<std::string> references;
  int rc = receive_search(connection.ld(), message_id, answer, cookie, &references, wait);
  if (rc == kNotArrived) return rc;
  if (const AnswerFilter filter = answer_filter.load())
    filter(connection.server(), query, rc, answer, references);
  std::move(answer.begin(), answer.end(), std::back_inserter(entries));
  if (referred == nullptr) return rc;
  referred->subtrees.insert(referred->subtrees.end(), references.begin(), references.end());
  if (rc == LDAP_REFERRAL || rc == LDAP_NO_SUCH_OBJECT) {
    referred->whole = true;
    cookie.reset();
    return LDAP_SUCCESS;
  }
  return rc;
}

}  // namespace

int receive_if_arrived(Connection& connection, const SearchRequest& query, int message_id,
                       std::vector<Entry>& entries) {
  if (page_entries_of(query) > 0) return kNotArrived;  // its later pages are asked for in turn
  Berval cookie;
  return receive_answer(connection, query, message_id, entries, cookie, nullptr, false);
}

int abandon_request(LDAP* ld, int message_id) {
  const int rc = ldap_abandon_ext(ld, message_id, nullptr, nullptr);
  note_abandoned(ld);
  return rc;
}

int send_first_page(LDAP* ld, const SearchRequest& query, int& message_id) {
  return send_search(ld, query, page_entries_of(query), nullptr, message_id);
}

int search_entries(Connection& connection, const SearchRequest& query,
                   std::vector<Entry>& entries) {
  LDAP* ld = connection.ld();
  const int page_entries = page_entries_of(query);
  const size_t first = entries.size();
  Berval cookie;
  do {
    int message_id = 0;
    int rc = LDAP_SUCCESS;
    // The first page may have been asked for ahead, or even read (search_ahead.h).
    const Asked asked =
        cookie ? Asked::no : take_search_ahead(connection, query, message_id, entries, rc);
    if (asked == Asked::answered) {
      if (rc != LDAP_SUCCESS) return rc;
      break;
    }
    if (asked == Asked::no) rc = send_search(ld, query, page_entries, cookie.get(), message_id);
    if (rc != LDAP_SUCCESS) return rc;
    rc = receive_answer(connection, query, message_id, entries, cookie, nullptr);
    if (rc != LDAP_SUCCESS) return rc;
  } while (cookie);
  // Some servers ignore the limit: it holds all the same.
  const auto limit = static_cast<size_t>(query.size_limit);
  if (query.size_limit > 0 && entries.size() - first > limit) {
    entries.resize(first + limit);
    return LDAP_SIZELIMIT_EXCEEDED;
  }
  return LDAP_SUCCESS;
}

int receive_all(Connection& connection, const SearchRequest& query, int message_id,
                std::vector<Entry>& entries, Referred* referred) {
  Berval cookie;
  int rc = receive_answer(connection, query, message_id, entries, cookie, referred);
  const int page_entries = page_size();
  while (rc == LDAP_SUCCESS && cookie) {
    rc = send_search(connection.ld(), query, page_entries, cookie.get(), message_id);
    if (rc == LDAP_SUCCESS)
      rc = receive_answer(connection, query, message_id, entries, cookie, referred);
  }
  return rc;
}

int search_all(Connection& connection, const std::vector<SearchRequest>& queries,
               std::vector<Entry>& entries, std::vector<Referred>* referred) {
  LDAP* ld = connection.ld();
  std::vector<int> message_ids;
  if (referred != nullptr) referred->assign(queries.size(), Referred());
  int rc = LDAP_SUCCESS;
  for (const SearchRequest& query : queries) {
    int message_id = 0;
    rc = send_first_page(ld, query, message_id);
    if (rc != LDAP_SUCCESS) break;
    message_ids.push_back(message_id);
  }
  for (size_t i = 0; i < message_ids.size(); ++i) {
    if (rc != LDAP_SUCCESS) {
      abandon_request(ld, message_ids[i]);
      continue;
    }
    rc = receive_all(connection, queries[i], message_ids[i], entries,
                     referred ? &(*referred)[i] : nullptr);
  }
  return rc;
}

int read_values(Connection& connection, const std::string& dn, const std::string& attribute,
                std::vector<std::string>& values) {
  values.clear();
  const int step = range_size();
  size_t low = 0;
  for (;;) {
    std::string requested = attribute;
    if (step > 0 || low > 0) {
      requested += ";range=" + std::to_string(low) + "-";
      requested += step > 0 ? std::to_string(low + static_cast<size_t>(step) - 1) : "*";
    }
    std::vector<Entry> entries;
    const int rc =
        search_entries(connection, {dn, Scope::base, kEveryObject, {requested}}, entries);
    if (rc != LDAP_SUCCESS) return rc;
    if (entries.empty()) return LDAP_NO_SUCH_OBJECT;

    std::string high;
    bool ranged = false;
    for (auto& [name, found] : entries.front().attributes) {
      if (equal_ignoring_case(name, attribute)) {
        values.insert(values.end(), found.begin(), found.end());
        return LDAP_SUCCESS;
      }
      if (range_of(name, attribute, high)) {
        values.insert(values.end(), found.begin(), found.end());
        ranged = true;
      }
    }
    if (!ranged || high == "*") return LDAP_SUCCESS;
    size_t last = 0;
    const auto [end, error] = std::from_chars(high.data(), high.data() + high.size(), last);
    if (error != std::errc() || end != high.data() + high.size() || last < low)
      return LDAP_DECODING_ERROR;
    low = last + 1;
  }
}

int add_entry(Connection& connection, const std::string& dn,
              const std::vector<Change>& attributes) {
  int message_id = 0;
  const int sent = send_mods(connection, dn, attributes, true, message_id);
  return write_result(connection.ld(), sent, message_id);
}

int modify_entry(Connection& connection, const std::string& dn,
                 const std::vector<Change>& changes) {
  int message_id = 0;
  const int sent = send_mods(connection, dn, changes, false, message_id);
  return write_result(connection.ld(), sent, message_id);
}

int delete_entry(Connection& connection, const std::string& dn) {
  count_operation();
  int message_id = 0;
  const int sent = ldap_delete_ext(connection.ld(), dn.c_str(), nullptr, nullptr, &message_id);
  return write_result(connection.ld(), sent, message_id);
}

int rename_entry(Connection& connection, const std::string& dn, const std::string& new_rdn,
                 const std::string& new_superior) {
  count_operation();
  int message_id = 0;
  const int sent = ldap_rename(connection.ld(), dn.c_str(), new_rdn.c_str(), new_superior.c_str(),
                               1, nullptr, nullptr, &message_id);
  return write_result(connection.ld(), sent, message_id);
}

int page_size() {
  return entries_per_page.load(std::memory_order_relaxed);
}
void set_page_size(int entries) {
  entries_per_page.store(entries > 0 ? entries : 1000);
}
int range_size() {
  return values_per_range.load(std::memory_order_relaxed);
}
void set_range_size(int values) {
  values_per_range.store(values > 0 ? values : 0);
}
void set_answer_filter(AnswerFilter filter) {
  answer_filter.store(filter);
}

}  // namespace txads::directory
