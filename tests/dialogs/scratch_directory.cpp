// The scratch unit of the dialog tests.
#include "scratch_directory.h"

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <fstream>

#include "dialog_test_support.h"
#include "x_session.h"

namespace txads::testing {
namespace {

std::string env(const char* name) {
  const char* value = std::getenv(name);
  return value != nullptr ? value : "";
}

}  // namespace

std::string domain_base() {
  return env("LDAPBASE");
}

std::string controller_host() {
  std::string uri = env("LDAPURI");
  const size_t scheme = uri.find("://");
  if (scheme != std::string::npos) uri.erase(0, scheme + 3);
  return uri.substr(0, uri.find_first_of(":/ "));
}

ScratchOu::ScratchOu(const std::string& prefix) {
  char tag[16];
  std::snprintf(tag, sizeof tag, "%06x",
                static_cast<unsigned>(::getpid() ^ std::time(nullptr) ^ std::rand()) & 0xFFFFFFu);
  tag_ = tag;
  name_ = prefix + tag_;
  dn_ = "OU=" + name_ + "," + domain_base();
  ok_ = !domain_base().empty() &&
        add("dn: " + dn_ + "\nobjectClass: organizationalUnit\nou: " + name_ + "\n");
}

ScratchOu::~ScratchOu() {
  if (ok_) run_command({"ldapdelete", "-Q", "-Y", "GSSAPI", "-r", dn_}, std::chrono::seconds(60));
}

bool ScratchOu::add(const std::string& ldif) const {
  TempDir dir;
  const std::string file = dir.path() + "/entries.ldif";
  std::ofstream(file) << ldif;
  const auto r =
      run_command({"ldapadd", "-Q", "-Y", "GSSAPI", "-f", file}, std::chrono::seconds(60));
  if (r.exit_code != 0)
    std::fprintf(stderr, "ldapadd failed:\n%s\n%s\n", ldif.c_str(), r.out.c_str());
  return r.exit_code == 0;
}

}  // namespace txads::testing
