// One one-level search of the schema container per attribute not yet seen on
// that server; the answer (found or not) is kept.
#include "directory/schema.h"

#include <cstdlib>
#include <map>
#include <mutex>
#include <optional>
#include <string>

#include "directory/ldap_ops.h"
#include "directory/ldap_path.h"
#include "directory/pool.h"
#include "frame/ascii_case.h"

namespace txads::directory {
namespace {

bool ends_with_guid(std::string_view attribute) {
  const std::string name = ascii_lower(attribute);
  return name.size() >= 4 && name.compare(name.size() - 4, 4, "guid") == 0;
}

class Cache {
 public:
  bool find(const std::string& key, std::optional<Value::Syntax>& syntax) {
    std::lock_guard lock(mutex_);
    auto it = known_.find(key);
    if (it == known_.end()) return false;
    syntax = it->second;
    return true;
  }
  void keep(const std::string& key, std::optional<Value::Syntax> syntax) {
    std::lock_guard lock(mutex_);
    known_[key] = syntax;
  }

 private:
  std::mutex mutex_;
  std::map<std::string, std::optional<Value::Syntax>> known_;  // nullopt: not in the schema
};

Cache& cache() {
  static Cache instance;
  return instance;
}

}  // namespace

Value::Syntax syntax_of(std::string_view attribute_syntax, int om_syntax,
                        std::string_view attribute) {
  if (om_syntax == 10) return Value::Syntax::integer;  // enumeration
  using S = Value::Syntax;
  if (attribute_syntax == "2.5.5.1") return S::distinguished_name;
  if (attribute_syntax == "2.5.5.8") return S::boolean;
  if (attribute_syntax == "2.5.5.9") return S::integer;
  if (attribute_syntax == "2.5.5.11") return S::time;
  if (attribute_syntax == "2.5.5.16") return S::large_integer;
  if (attribute_syntax == "2.5.5.17") return S::sid;
  if (attribute_syntax == "2.5.5.10") return ends_with_guid(attribute) ? S::guid : S::octets;
  if (attribute_syntax == "2.5.5.15") return S::octets;  // security descriptor
  return S::string;
}

Status attribute_syntax(const Endpoint& endpoint, std::string_view description,
                        Value::Syntax& syntax) {
  // The type names the schema entry; options (";binary", ";lang-de") keep its syntax.
  const std::string_view attribute = description.substr(0, description.find(';'));
  const std::string key = endpoint.key() + '|' + ascii_lower(attribute);
  std::optional<Value::Syntax> known;
  if (!cache().find(key, known)) {
    std::vector<Entry> entries;
    const Status status = with_connection(endpoint, [&](Connection& connection) {
      entries.clear();
      const std::string filter =
          "(&(objectClass=attributeSchema)(lDAPDisplayName=" + escape_filter_value(attribute) +
          "))";
      return search_entries(connection,
                            {connection.root_dse().schema_naming_context,
                             Scope::one_level,
                             filter,
                             {"attributeSyntax", "oMSyntax"}},
                            entries);
    });
    if (status.failed()) return status;
    if (!entries.empty()) {
      const auto* oid = entries.front().find("attributeSyntax");
      const auto* om = entries.front().find("oMSyntax");
      known = syntax_of(oid && !oid->empty() ? oid->front() : "",
                        om && !om->empty() ? std::atoi(om->front().c_str()) : 0, attribute);
    }
    cache().keep(key, known);
  }
  if (!known) return kPropertyNotFound;
  syntax = *known;
  return kOk;
}

}  // namespace txads::directory
