// Plain searches for the platform stand-ins, on the pooled connections.
#include "directory/search.h"

#include "directory/ldap_ops.h"
#include "directory/ldap_path.h"
#include "directory/object_state.h"
#include "directory/pool.h"
#include "directory/search_ahead.h"
#include "frame/ascii_case.h"

namespace txads::directory {
namespace {

Status endpoint_for(const std::string& server, bool global_catalog, Endpoint& endpoint) {
  endpoint = Endpoint();
  if (!server.empty()) {
    LdapPath parsed;
    const Status status = parse_path("LDAP://" + server + "/", parsed);
    if (status.failed()) return status;
    endpoint = parsed.endpoint;
  }
  endpoint.global_catalog = global_catalog;
  return kOk;
}

Status root_dse_value(std::string RootDse::*field, std::string& value) {
  return with_connection(Endpoint(), [&](Connection& connection) {
    value = connection.root_dse().*field;
    return value.empty() ? LDAP_NO_RESULTS_RETURNED : LDAP_SUCCESS;
  });
}

}  // namespace

const std::vector<std::string>* Entry::find(std::string_view attribute) const {
  for (const auto& [name, values] : attributes) {
    if (equal_ignoring_case(name, attribute)) return &values;
  }
  return nullptr;
}

Status search(const SearchRequest& request, std::vector<Entry>& entries) {
  entries.clear();
  Endpoint endpoint;
  const Status status = endpoint_for(request.server, request.global_catalog, endpoint);
  if (status.failed()) return status;
  return with_connection(endpoint, [&](Connection& connection) {
    entries.clear();
    SearchRequest query = request;
    if (query.base.empty() && !request.global_catalog) {
      query.base = connection.configured_base().empty()
                       ? connection.root_dse().default_naming_context
                       : connection.configured_base();
    }
    return search_entries(connection, query, entries);
  });
}

std::unique_ptr<SearchAhead> ask_search(const SearchRequest& request) {
  // An empty base is the connection's own: only a search that names it is asked.
  Endpoint endpoint;
  if (request.base.empty() ||
      endpoint_for(request.server, request.global_catalog, endpoint).failed())
    return nullptr;
  return std::make_unique<SearchAhead>(endpoint, request);
}

std::string escape_filter_value(std::string_view value) {
  static constexpr char kHex[] = "0123456789abcdef";
  std::string out;
  out.reserve(value.size());
  for (char c : value) {
    if (c == '*' || c == '(' || c == ')' || c == '\\' || c == '\0') {
      const auto byte = static_cast<unsigned char>(c);
      out += '\\';
      out += kHex[byte >> 4];
      out += kHex[byte & 0x0F];
    } else {
      out += c;
    }
  }
  return out;
}

Status default_naming_context(std::string& dn) {
  return root_dse_value(&RootDse::default_naming_context, dn);
}

Status configuration_naming_context(std::string& dn) {
  return root_dse_value(&RootDse::configuration_naming_context, dn);
}

}  // namespace txads::directory
