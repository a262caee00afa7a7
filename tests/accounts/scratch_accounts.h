// Test helper: a scratch organisational unit in the test domain, filled and
// read with the directory's own tools (ldapadd, ldapsearch, ldapdelete over
// SASL GSSAPI as the domain's administrator), never with the code under
// test. The unit gets a name no other run uses and is deleted with all its
// children when the helper goes. Names are UTF-8.
#pragma once

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <stdexcept>
#include <string>

namespace scratch {

inline std::string environment(const char* name) {
  const char* value = std::getenv(name);
  return value ? value : "";
}

inline std::string shell_quoted(const std::string& text) {
  std::string out = "'";
  for (char c : text) out += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return out + "'";
}

// Runs a shell command, feeding it `input` when there is one, else reading
// its output; throws when it fails.
inline std::string shell(const std::string& command, const std::string& input = "") {
  FILE* pipe = ::popen(command.c_str(), input.empty() ? "r" : "w");
  if (pipe == nullptr) throw std::runtime_error("cannot run: " + command);
  std::string output;
  if (input.empty()) {
    char chunk[4096];
    for (size_t n; (n = std::fread(chunk, 1, sizeof chunk, pipe)) > 0;) output.append(chunk, n);
  } else {
    std::fwrite(input.data(), 1, input.size(), pipe);
  }
  if (::pclose(pipe) != 0) throw std::runtime_error("failed: " + command);
  return output;
}

class ScratchOu {
 public:
  explicit ScratchOu(const std::string& tag)
      : base_(environment("LDAPBASE")),
        dn_("OU=txads-" + tag + "-" + std::to_string(::getpid()) + "," + base_) {
    add(dn_, "objectClass: organizationalUnit\n");
  }
  ~ScratchOu() {
    try {
      shell("ldapdelete -Q -r " + shell_quoted(dn_) + " 2>&1");
    } catch (...) {
    }
  }
  ScratchOu(const ScratchOu&) = delete;
  ScratchOu& operator=(const ScratchOu&) = delete;

  const std::string& dn() const { return dn_; }
  const std::string& base() const { return base_; }

  // Each returns the new object's DN.
  std::string add_user(const std::string& cn, const std::string& account) {
    return add("CN=" + cn + "," + dn_,
               "objectClass: user\nsAMAccountName: " + account + "\nuserAccountControl: 514\n");
  }
  std::string add_group(const std::string& cn, const std::string& account) {
    return add("CN=" + cn + "," + dn_, "objectClass: group\nsAMAccountName: " + account + "\n");
  }
  // The computer's account name is its CN followed by "$".
  std::string add_computer(const std::string& cn) {
    return add("CN=" + cn + "," + dn_,
               "objectClass: computer\nsAMAccountName: " + cn + "$\nuserAccountControl: 4096\n");
  }

 private:
  std::string add(const std::string& dn, const std::string& body) {
    shell("ldapadd -Q >/dev/null", "dn: " + dn + "\n" + body);
    return dn;
  }

  std::string base_;
  std::string dn_;
};

// The SID text of an object as the server itself writes it (the extended DN
// control, string form).
inline std::string sid_of(const std::string& dn) {
  const std::string out = shell(
      "ldapsearch -Q -LLL -o ldif-wrap=no -E '!1.2.840.113556.1.4.529=::MAMCAQE=' -s base -b " +
      shell_quoted(dn) + " dn | sed -n 's/^dn:: //p' | base64 -d");
  const size_t start = out.find("<SID=");
  const size_t end = out.find('>', start);
  if (start == std::string::npos || end == std::string::npos)
    throw std::runtime_error("no SID for " + dn);
  return out.substr(start + 5, end - start - 5);
}

// The domain's SID text: the SID of the naming context's head.
inline std::string domain_sid() {
  return sid_of(environment("LDAPBASE"));
}

}  // namespace scratch
