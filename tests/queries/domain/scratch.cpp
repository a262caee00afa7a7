#include "scratch.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <stdexcept>

#include "support/domain.h"

namespace queries_test {
namespace {

constexpr char kGuard = '\x5A';
constexpr int kGuardBytes = 32;

std::string child_dn(const std::string& rdn, const std::string& parent) {
  return rdn + "," + parent;
}

}  // namespace

ScratchOu::ScratchOu() {
  static std::atomic<int> counter{0};
  // Short: account names (tag + name) must stay within 20 characters.
  tag_ = "q" + std::to_string(getpid() % 100000) + "x" + std::to_string(counter++) + "-";
  dn_ = "OU=txads-queries-" + tag_.substr(0, tag_.size() - 1) + "," + txads_test::base_dn();
  add_ldif("dn: " + dn_ + "\nobjectClass: organizationalUnit\n");
}

ScratchOu::~ScratchOu() {
  flush();
  try {
    txads_test::delete_tree(dn_);
  } catch (const std::runtime_error& e) {
    ADD_FAILURE() << "could not remove " << dn_ << ": " << e.what();
  }
}

void ScratchOu::add_ldif(const std::string& ldif) {
  pending_ += ldif + "\n";
}

void ScratchOu::flush() const {
  if (pending_.empty()) return;
  const txads_test::ToolResult added =
      txads_test::run_tool({"ldapadd", "-Q", "-Y", "GSSAPI"}, pending_);
  if (!added.ok()) {
    ADD_FAILURE() << "ldapadd failed: " << added.err << added.out << "\nfor:\n"
                  << pending_.substr(0, 2000);
  }
  pending_.clear();
}

std::string ScratchOu::path_of(const std::string& dn) const {
  flush();
  return "LDAP://" + dn;
}

std::string ScratchOu::add_entry(const std::string& rdn, const std::string& object_class,
                                 const std::string& extra, const std::string& parent) {
  const std::string dn = child_dn(rdn, parent.empty() ? dn_ : parent);
  add_ldif(txads_test::ldif_line("dn", dn) + "objectClass: " + object_class + "\n" + extra);
  return dn;
}

std::string ScratchOu::add_user(const std::string& rdn_value, const std::string& account,
                                const std::string& extra, const std::string& parent) {
  return add_entry("CN=" + rdn_value, "user",
                   txads_test::ldif_line("sAMAccountName", tag_ + account) + extra, parent);
}

std::string ScratchOu::add_computer(const std::string& rdn_value, const std::string& parent) {
  return add_entry("CN=" + rdn_value, "computer",
                   "sAMAccountName: " + tag_ + rdn_value + "$\nuserAccountControl: 4096\n", parent);
}

std::string ScratchOu::add_ou(const std::string& name, const std::string& parent) {
  return add_entry("OU=" + name, "organizationalUnit", "", parent);
}

std::string ScratchOu::add_group(const std::string& rdn_value, const std::string& account,
                                 const std::vector<std::string>& member_dns) {
  std::string extra = txads_test::ldif_line("sAMAccountName", tag_ + account);
  for (const auto& m : member_dns) extra += txads_test::ldif_line("member", m);
  return add_entry("CN=" + rdn_value, "group", extra);
}

std::string ScratchOu::account_name(const std::string& account) const {
  flush();
  return txads_test::netbios_domain() + "\\" + tag_ + account;
}

std::vector<std::string> sorted_entries(const std::string& list) {
  std::vector<std::string> out;
  size_t from = 0;
  for (size_t bar; (bar = list.find('|', from)) != std::string::npos; from = bar + 1) {
    out.push_back(list.substr(from, bar - from));
  }
  EXPECT_EQ(from, list.size()) << "the list must end with \"|\": " << list;
  std::sort(out.begin(), out.end());
  return out;
}

Guarded::Guarded(int length, char fill)
    : length_(length), bytes_(static_cast<size_t>(length > 0 ? length : 0), fill) {
  bytes_.append(kGuardBytes, kGuard);
}

std::string Guarded::bytes() const {
  return bytes_.substr(0, length_ > 0 ? length_ : 0);
}

std::string Guarded::text() const {
  const std::string b = bytes();
  return b.substr(0, b.find('\0'));
}

bool Guarded::guards_intact() const {
  const size_t from = static_cast<size_t>(length_ > 0 ? length_ : 0);
  return bytes_.find_first_not_of(kGuard, from) == std::string::npos;
}

void Guarded::put(const std::string& text) {
  const size_t n = std::min(text.size() + 1, static_cast<size_t>(length_ > 0 ? length_ : 0));
  bytes_.replace(0, n, text.c_str(), n);
}

}  // namespace queries_test
