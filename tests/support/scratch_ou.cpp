// Scratch organisational unit of the test support (see scratch_ou.h).
#include "support/scratch_ou.h"

#include <unistd.h>

#include <atomic>
#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <random>

namespace txads_test {
namespace {

constexpr std::string_view kPrefix = "OU=txads-";

// Five hex digits, different for every scratch OU of every process.
std::string fresh_suffix() {
  static std::atomic<unsigned> counter{0};
  static const unsigned seed = std::random_device{}();
  unsigned value = (seed + static_cast<unsigned>(getpid()) * 977u + counter++ * 7919u) & 0xfffff;
  char text[8];
  std::snprintf(text, sizeof text, "%05x", value);
  return text;
}

}  // namespace

ScratchOu::ScratchOu(std::string_view tag) : suffix_(fresh_suffix()) {
  dn_ = std::string(kPrefix) + std::string(tag) + "-" + std::to_string(getpid()) + "-" + suffix_ +
        "," + base_dn();
  modify("dn: " + dn_ + "\nchangetype: add\nobjectClass: organizationalUnit\n");
}

ScratchOu::~ScratchOu() {
  // Never delete anything but a scratch OU, whatever dn_ has become.
  if (dn_.rfind(kPrefix, 0) == 0) {
    try {
      delete_tree(dn_);
    } catch (const std::exception& e) {
      std::fprintf(stderr, "scratch OU %s not removed: %s\n", dn_.c_str(), e.what());
    }
  }
  if (!ticket_dir_.empty()) {
    std::error_code ignored;
    std::filesystem::remove_all(ticket_dir_, ignored);
  }
}

std::string ScratchOu::unique_name(std::string_view stem) const {
  return std::string(stem.substr(0, 15 - 1 - suffix_.size())) + "-" + suffix_;
}

std::string ScratchOu::add(std::string_view rdn, std::string_view parent, const std::string& body) {
  std::string dn = std::string(rdn) + "," + (parent.empty() ? dn_ : std::string(parent));
  modify(ldif_line("dn", dn) + "changetype: add\n" + body);
  return dn;
}

std::string ScratchOu::add_ou(std::string_view name, std::string_view parent) {
  return add("OU=" + std::string(name), parent, "objectClass: organizationalUnit\n");
}

std::string ScratchOu::add_container(std::string_view name, std::string_view parent) {
  return add("CN=" + std::string(name), parent, "objectClass: container\n");
}

std::string ScratchOu::add_user(std::string_view cn, std::string_view account,
                                std::string_view parent, std::string_view password) {
  std::string pw = password.empty() ? test_password() : std::string(password);
  std::string body = "objectClass: user\n" + ldif_line("sAMAccountName", account) +
                     ldif_line("userPrincipalName", std::string(account) + "@" + dns_domain()) +
                     ldif_line("unicodePwd", unicode_pwd(pw)) +
                     "userAccountControl: 66048\n";  // normal account, password never expires
  return add("CN=" + std::string(cn), parent, body);
}

std::string ScratchOu::add_computer(std::string_view cn, std::string_view parent,
                                    std::string_view account) {
  std::string sam(account.empty() ? cn : account), host = sam;
  for (size_t i = 0; i < sam.size(); ++i) {
    sam[i] = static_cast<char>(std::toupper(static_cast<unsigned char>(sam[i])));
    host[i] = static_cast<char>(std::tolower(static_cast<unsigned char>(host[i])));
  }
  std::string body = "objectClass: computer\n" + ldif_line("sAMAccountName", sam + "$") +
                     ldif_line("dNSHostName", host + "." + dns_domain()) +
                     "userAccountControl: 4096\n";  // workstation trust account
  return add("CN=" + std::string(cn), parent, body);
}

std::string ScratchOu::add_group(std::string_view cn, std::string_view parent,
                                 std::string_view account) {
  std::string body = "objectClass: group\n" +
                     ldif_line("sAMAccountName", account.empty() ? cn : account) +
                     "groupType: -2147483646\n";  // global security group
  return add("CN=" + std::string(cn), parent, body);
}

void ScratchOu::add_member(std::string_view group_dn, std::string_view member_dn) {
  modify(ldif_line("dn", group_dn) + "changetype: modify\nadd: member\n" +
         ldif_line("member", member_dn) + "-\n");
}

std::string ScratchOu::ticket_for(std::string_view account, std::string_view password) {
  if (ticket_dir_.empty()) {
    std::string pattern = std::filesystem::temp_directory_path() / "txads-tickets-XXXXXX";
    if (!mkdtemp(pattern.data())) throw std::runtime_error("cannot create " + pattern);
    ticket_dir_ = pattern;
  }
  std::string cache = ticket_dir_ + "/" + std::string(account);
  ToolResult r = kinit(account, password.empty() ? test_password() : password, cache);
  if (!r.ok())
    throw std::runtime_error("kinit " + std::string(account) + " failed: " + r.err + r.out);
  return cache;
}

}  // namespace txads_test
