// A group member or a group of an account that lives in another domain of
// the forest: the group's own server refers its search elsewhere (or does
// not hold that domain); it is looked for in the global catalog and skipped
// with a trace line when the catalog does not hold it, and the walks and
// the group list still find every local name.
//
// Test double: the test domain has one domain only, and its server refuses
// values naming objects it does not hold. At the layer's answer boundary
// (set_answer_filter) a value naming an object of DC=other,... is added to
// the answers for one group's members and one account's groups; with
// `refer_other`, the domain's own servers (never the global catalog) answer
// searches based in that domain with a referral, as a controller of a forest
// does (else the test server's own "no such object" stands); `refer_local`
// has them refer every search by names, with a referral or a continuation
// reference to the scratch OU, so that the local names too are found
// through the real global catalog.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "directory/dn_within.h"
#include "directory/ldap_ops.h"
#include "support/guarded_buffer.h"
#include "support/scratch_ou.h"
#include "support/trace_capture.h"
#include "txads.h"

namespace txads::directory {
namespace {

constexpr char kOther[] = "DC=other,DC=example,DC=com";
const std::string kFarUser = std::string("CN=Far User,CN=Users,") + kOther;

enum class Refer { none, by_result, by_reference };

struct Double {
  std::string group, account;  // gain a member / a group of the other domain
  std::string subtree;         // a local one, for a continuation reference
  bool refer_other = false;
  Refer refer_local = Refer::none;
} double_;

void answer(const std::string& server, const SearchRequest& query, int& result,
            std::vector<Entry>& entries, std::vector<std::string>& references) {
  const bool catalog = server.find(":3268") != std::string::npos;
  const bool by_names = query.filter.find("(distinguishedName=") != std::string::npos;
  if (!catalog && ((double_.refer_other && dn_within(query.base, kOther)) ||
                   (by_names && double_.refer_local == Refer::by_result))) {
    result = LDAP_REFERRAL;
    entries.clear();
  }
  if (!catalog && by_names && double_.refer_local == Refer::by_reference) {
    entries.clear();
    references.push_back(double_.subtree);
  }
  for (Entry& entry : entries) {
    const auto add = [&](const std::string& dn, const char* attribute, const std::string& value) {
      if (!equal_ignoring_case(entry.dn, dn) ||
          std::none_of(query.attributes.begin(), query.attributes.end(),
                       [&](const std::string& a) { return equal_ignoring_case(a, attribute); }))
        return;
      std::vector<std::string>* values = nullptr;
      for (auto& [name, found] : entry.attributes)
        if (equal_ignoring_case(name, attribute)) values = &found;
      (values ? *values : entry.attributes[attribute]).push_back(value);
    };
    add(double_.group, "member", kFarUser);
    add(double_.account, "memberOf", std::string("CN=Far Group,CN=Users,") + kOther);
  }
}

TEST(NamesInAnotherDomain, AreResolvedOrSkippedAndHideNoLocalName) {
  txads_test::ScratchOu ou("foreign");
  const std::string domain = txads_test::netbios_domain() + "\\";
  const std::string una = ou.unique_name("una"), ivo = ou.unique_name("ivo");
  const std::string mixed = ou.add_group("Mixed", {}, ou.unique_name("mixed"));
  const std::string inner = ou.add_group("Inner", {}, ou.unique_name("inner"));
  const std::string pc = ou.unique_name("PC");
  double_.account = ou.add_user("Una", una);
  for (const std::string& member : {double_.account, ou.add_computer(pc), inner})
    ou.add_member(mixed, member);
  ou.add_member(inner, ou.add_user("Ivo", ivo));
  double_.group = mixed;
  double_.subtree = ou.dn();
  const std::string path = txads_test::path_of(mixed);
  const std::string groups = domain + ou.unique_name("mixed") + "|";

  set_answer_filter(answer);
  TXADSetRecursFlag(1);
  for (const auto& [refer_other, refer_local] : {std::pair{false, Refer::none},
                                                 {true, Refer::none},
                                                 {true, Refer::by_result},
                                                 {false, Refer::by_reference}}) {
    SCOPED_TRACE(std::to_string(refer_other) + std::to_string(static_cast<int>(refer_local)));
    double_.refer_other = refer_other;
    double_.refer_local = refer_local;
    txads_test::TraceCapture trace;
    txads_test::GuardedBuffer error, list(100, '\0');
    EXPECT_EQ(TXADIsUserInGroup((domain + una).c_str(), path.c_str(), error.data(), 512), 1);
    EXPECT_EQ(TXADIsUserInGroup((domain + ivo).c_str(), path.c_str(), error.data(), 512), 1);
    EXPECT_EQ(TXADIsUserInGroup("CORP\\eve", path.c_str(), error.data(), 512), 2);
    EXPECT_EQ(TXADIsStationInGroup(pc.c_str(), path.c_str(), error.data(), 512), 1);
    EXPECT_EQ(TXADGetGroupList((domain + una).c_str(), list.data(), 100, error.data(), 512), 0);
    EXPECT_EQ(list.text(), groups);
    EXPECT_TRUE(error.untouched());
    const auto lines = trace.messages();
    EXPECT_TRUE(std::any_of(lines.begin(), lines.end(), [](const std::string& line) {
      return line.rfind("Skipped '" + kFarUser + "'", 0) == 0;
    }));
  }
  TXADSetRecursFlag(0);
  set_answer_filter(nullptr);
}

}  // namespace
}  // namespace txads::directory
