// A second domain of the forest, DC=other,DC=example,DC=com, for tests of
// names that live there. The test domain has one domain only, and its server
// refuses member values naming objects it does not hold, so this is a test
// double at the directory layer's answer boundary (set_answer_filter): it
// adds values naming objects of the other domain to the answers for chosen
// entries, and it turns answers of the domain's own servers (never the
// global catalog's) into referrals, as a controller of a forest answers a
// search for another partition: for every search based in the other domain
// when `refer_other` is set (otherwise the test server's own answer, "no
// such object", stands), and for searches that name a chosen local DN.
// Everything else is the real server's answer. One at a time, on the test's
// thread; header only, for binaries that link txads_core.
#pragma once

#include <ldap.h>

#include <string>
#include <vector>

#include "directory/dn_within.h"
#include "directory/ldap_ops.h"
#include "frame/ascii_case.h"

namespace txads_test {

class ForeignDomain {
 public:
  static constexpr const char* kDn = "DC=other,DC=example,DC=com";

  explicit ForeignDomain(bool refer_other) : refer_other_(refer_other) {
    active_ = this;
    txads::directory::set_answer_filter(&filter);
  }
  ~ForeignDomain() {
    txads::directory::set_answer_filter(nullptr);
    active_ = nullptr;
  }
  ForeignDomain(const ForeignDomain&) = delete;
  ForeignDomain& operator=(const ForeignDomain&) = delete;

  // Answers for the entry `dn` that ask for `attribute` hold `value` too.
  void add_value(std::string dn, std::string attribute, std::string value) {
    values_.push_back({std::move(dn), std::move(attribute), std::move(value)});
  }
  // Searches by name for the local `dn` are referred elsewhere.
  void refer(std::string dn) { referred_.push_back(std::move(dn)); }

 private:
  struct Added {
    std::string dn, attribute, value;
  };

  static bool contains_ignoring_case(const std::string& text, const std::string& part) {
    return txads::ascii_lower(text).find(txads::ascii_lower(part)) != std::string::npos;
  }

  static void filter(const std::string& server, const txads::directory::SearchRequest& query,
                     int& result, std::vector<txads::directory::Entry>& entries) {
    const ForeignDomain* self = active_;
    if (self == nullptr) return;
    const bool global_catalog = server.find(":3268") != std::string::npos;
    bool refer =
        !global_catalog && self->refer_other_ && txads::directory::dn_within(query.base, kDn);
    for (const std::string& dn : self->referred_) {
      if (!global_catalog && contains_ignoring_case(query.filter, "(distinguishedName=" + dn + ")"))
        refer = true;
    }
    if (refer) {
      result = LDAP_REFERRAL;
      entries.clear();
      return;
    }
    for (auto& entry : entries) {
      for (const Added& added : self->values_) {
        if (!txads::equal_ignoring_case(entry.dn, added.dn)) continue;
        bool asked = false;
        for (const std::string& name : query.attributes)
          asked = asked || txads::equal_ignoring_case(name, added.attribute);
        if (!asked) continue;
        std::vector<std::string>* values = nullptr;
        for (auto& [name, found] : entry.attributes) {
          if (txads::equal_ignoring_case(name, added.attribute)) values = &found;
        }
        if (values == nullptr) values = &entry.attributes[added.attribute];
        values->push_back(added.value);
      }
    }
  }

  static inline ForeignDomain* active_ = nullptr;
  bool refer_other_;
  std::vector<Added> values_;
  std::vector<std::string> referred_;
};

}  // namespace txads_test
