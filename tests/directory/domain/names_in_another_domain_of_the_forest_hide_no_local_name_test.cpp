// Names in another domain of the forest (group members, an account's groups)
// that a server refers elsewhere or does not hold are looked for in the
// global catalog, skipped with a trace line when not there, and hide no local
// name. Test double (the test domain has one domain and refuses values naming
// objects it does not hold): at the answer boundary, values naming objects of
// DC=other,... join the answers for one group and one account; the domain's
// servers refer searches based there, as a forest's controller does (with
// `nothing`, the test server's "no such object" stands), and every search by
// names too, by result or by a continuation reference to the scratch OU.
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

enum class Refer { nothing, other, other_and_local, local_by_reference };

struct Double {
  std::string group, account, subtree;  // gain a foreign member / group; referenced
  Refer refer = Refer::nothing;
} double_;

void answer(const std::string& server, const SearchRequest& query, int& result,
            std::vector<Entry>& entries, std::vector<std::string>& references) {
  if (server.find(":3268") != std::string::npos) return;  // the global catalog's own answer
  const bool by_names = query.filter.find("(|(name=") != std::string::npos ||
                        query.filter.find("(distinguishedName=") != std::string::npos;
  if (by_names && double_.refer == Refer::local_by_reference) {
    entries.clear();
    references.push_back(double_.subtree);
  } else if ((by_names && double_.refer == Refer::other_and_local) ||
             (double_.refer != Refer::nothing && dn_within(query.base, kOther))) {
    entries.clear();
    result = LDAP_REFERRAL;
  }
  for (Entry& entry : entries) {
    if (equal_ignoring_case(entry.dn, double_.group))
      entry.attributes["member"].push_back(kFarUser);
    if (equal_ignoring_case(entry.dn, double_.account))
      entry.attributes["memberOf"].push_back(std::string("CN=Far Group,CN=Users,") + kOther);
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
  double_.group = mixed, double_.subtree = ou.dn();
  const std::string path = txads_test::path_of(mixed);
  set_answer_filter(answer);
  TXADSetRecursFlag(1);
  for (const Refer refer :
       {Refer::nothing, Refer::other, Refer::other_and_local, Refer::local_by_reference}) {
    SCOPED_TRACE(static_cast<int>(refer));
    double_.refer = refer;
    txads_test::TraceCapture trace;
    txads_test::GuardedBuffer error, list(100, '\0');
    EXPECT_EQ(TXADIsUserInGroup((domain + una).c_str(), path.c_str(), error.data(), 512), 1);
    EXPECT_EQ(TXADIsUserInGroup((domain + ivo).c_str(), path.c_str(), error.data(), 512), 1);
    EXPECT_EQ(TXADIsUserInGroup("CORP\\eve", path.c_str(), error.data(), 512), 2);
    EXPECT_EQ(TXADIsStationInGroup(pc.c_str(), path.c_str(), error.data(), 512), 1);
    EXPECT_EQ(TXADGetGroupList((domain + una).c_str(), list.data(), 100, error.data(), 512), 0);
    EXPECT_EQ(list.text(), domain + ou.unique_name("mixed") + "|");
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
