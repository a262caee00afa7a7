// The directory tests' data, through support/domain.h's tools.
#include "scratch.h"

#include <unistd.h>

#include <atomic>
#include <chrono>
#include <stdexcept>

#include "support/domain.h"

namespace scratch {

std::string base() {
  return txads_test::base_dn();
}

std::string path(const std::string& dn) {
  std::string out = "LDAP://";
  for (char c : dn) {
    if (c == '/') out += '\\';
    out += c;
  }
  return out;
}

int modify(const std::string& ldif, bool continue_on_error) {
  std::vector<std::string> argv = {"ldapmodify", "-a", "-Q", "-Y",
                                   "GSSAPI",     "-N", "-o", "nettimeout=10"};
  if (continue_on_error) argv.push_back("-c");
  return txads_test::run_tool(argv, ldif).status;
}

bool exists(const std::string& dn) {
  return txads_test::object_exists(dn);
}

std::vector<std::string> values(const std::string& dn, const std::string& attribute) {
  return txads_test::attribute_values(dn, attribute);
}

Ou::Ou(const std::string& prefix) {
  static std::atomic<int> serial{0};
  const auto now = std::chrono::steady_clock::now().time_since_epoch().count();
  dn_ = "OU=" + prefix + "-" + std::to_string(getpid()) + "-" + std::to_string(serial++) + "-" +
        std::to_string(now % 100000) + "," + base();
  if (modify("dn: " + dn_ + "\nobjectClass: organizationalUnit\n\n") != 0)
    throw std::runtime_error("cannot create " + dn_);
}

Ou::~Ou() {
  try {
    txads_test::delete_tree(dn_);
  } catch (const std::runtime_error&) {
    // Left for the domain's next reset; the test has its verdict already.
  }
}

int Ou::add(const std::string& rdn, const std::string& object_class,
            const std::string& extra_lines) {
  return modify("dn: " + rdn + "," + dn_ + "\nobjectClass: " + object_class + "\n" + extra_lines +
                "\n");
}

}  // namespace scratch
