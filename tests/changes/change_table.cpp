#include "change_table.h"

#include <algorithm>
#include <map>

#include "support/domain.h"
#include "support/guarded_buffer.h"
#include "support/trace_capture.h"

namespace changes_test {
namespace {

// Every object in the subtree with its change stamp, by DN.
using Picture = std::map<std::string, std::string>;

Picture picture(const std::string& base) {
  Picture objects;
  for (const auto& entry :
       txads_test::search(base, "(objectClass=*)", txads_test::Scope::subtree, {"uSNChanged"})) {
    objects[entry.dn] = entry.values("uSNChanged").at(0);
  }
  return objects;
}

std::string diff(const Picture& before, const Picture& after, const std::string& base) {
  std::vector<std::string> removed, added, changed;
  for (const auto& [dn, stamp] : before) {
    if (!after.count(dn)) removed.push_back("-" + dn);
  }
  for (const auto& [dn, stamp] : after) {
    if (!before.count(dn)) added.push_back("+" + dn);
    if (before.count(dn) && before.at(dn) != stamp) changed.push_back("*" + dn);
  }
  std::string text;
  for (const auto* part : {&removed, &added, &changed}) {
    for (std::string dn : *part) {
      dn = dn.substr(0, dn.size() - base.size() - 1);  // without ",<scratch OU>"
      text += (text.empty() ? "" : "; ") + dn;
    }
  }
  return text;
}

}  // namespace

std::string ChangeTable::expand(std::string_view text) const {
  if (text == "@") return ou_.path();
  if (!text.empty() && text[0] == '@') return txads_test::path_of(dn(text.substr(1)));
  std::string out;
  for (char c : text) out += c == '~' ? ou_.unique_name("") : std::string(1, c);
  return out;
}

std::string ChangeTable::dn(std::string_view relative) const {
  return expand(relative) + "," + ou_.dn();
}

void ChangeTable::run(const Row& row) {
  SCOPED_TRACE(row.what);
  const Picture before = picture(ou_.dn());
  std::vector<std::string> args;
  for (const auto& arg : row.call.args) args.push_back(expand(arg));
  txads_test::GuardedBuffer error(256);
  txads_test::TraceCapture trace;
  const int code =
      row.call.two ? row.call.two(args[0].c_str(), args[1].c_str(), error.data(), error.length())
                   : row.call.three(args[0].c_str(), args[1].c_str(), args[2].c_str(), error.data(),
                                    error.length());
  EXPECT_EQ(code, row.code);
  EXPECT_EQ(trace.messages(),
            (std::vector<std::string>{"run function 'TXAD" + row.call.worker + "'.",
                                      "run function '" + row.call.worker + "'."}));
  if (row.error.empty()) {
    EXPECT_TRUE(error.untouched()) << error.text();
  } else {
    EXPECT_EQ(error.text(), row.error);
  }
  EXPECT_TRUE(error.guards_intact());
  EXPECT_EQ(diff(before, picture(ou_.dn()), ou_.dn()), expand(row.diff));
}

}  // namespace changes_test
