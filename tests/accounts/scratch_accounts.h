// Test helper: a scratch organisational unit in the test domain, filled and
// read with the directory's own tools (ldapadd, ldapsearch, ldapdelete over
// SASL GSSAPI as the domain's administrator), never with the code under
// test. The unit gets a name no other run uses and is deleted with all its
// children when the helper goes.
#pragma once

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <stdexcept>
#include <string>

namespace scratch {

inline std::string environment(const char* name) {
  const char* value = std::getenv(name);
  return value ? value : "";
}

// Runs a shell command; returns its standard output and throws when it fails.
inline std::string shell(const std::string& command) {
  std::string output;
  FILE* pipe = ::popen(command.c_str(), "r");
  if (pipe == nullptr) throw std::runtime_error("cannot run: " + command);
  char chunk[4096];
  for (size_t n; (n = std::fread(chunk, 1, sizeof chunk, pipe)) > 0;) output.append(chunk, n);
  const int status = ::pclose(pipe);
  if (status != 0) throw std::runtime_error("failed (" + std::to_string(status) + "): " + command);
  return output;
}

inline std::string shell_quoted(const std::string& text) {
  std::string out = "'";
  for (char c : text) out += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return out + "'";
}

// Base64 of any bytes, for LDIF values that are not plain ASCII.
inline std::string base64(const std::string& bytes) {
  static const char table[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
  std::string out;
  size_t i = 0;
  for (; i + 2 < bytes.size(); i += 3) {
    const unsigned v = static_cast<unsigned char>(bytes[i]) << 16 |
                       static_cast<unsigned char>(bytes[i + 1]) << 8 |
                       static_cast<unsigned char>(bytes[i + 2]);
    out += {table[v >> 18], table[(v >> 12) & 63], table[(v >> 6) & 63], table[v & 63]};
  }
  if (i + 1 == bytes.size()) {
    const unsigned v = static_cast<unsigned char>(bytes[i]) << 16;
    out += {table[v >> 18], table[(v >> 12) & 63], '=', '='};
  } else if (i + 2 == bytes.size()) {
    const unsigned v =
        static_cast<unsigned char>(bytes[i]) << 16 | static_cast<unsigned char>(bytes[i + 1]) << 8;
    out += {table[v >> 18], table[(v >> 12) & 63], table[(v >> 6) & 63], '='};
  }
  return out;
}

// "attr:: base64" so that any value (UTF-8, commas) survives LDIF.
inline std::string ldif_line(const std::string& attribute, const std::string& value) {
  return attribute + ":: " + base64(value) + "\n";
}

class ScratchOu {
 public:
  explicit ScratchOu(const std::string& tag) {
    base_ = environment("LDAPBASE");
    dn_ = "OU=txads-" + tag + "-" + std::to_string(::getpid()) + "-" +
          std::to_string(std::rand() % 100000) + "," + base_;
    add(ldif_line("dn", dn_) + "objectClass: organizationalUnit\n");
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

  // Each returns the new object's DN; names are UTF-8.
  std::string add_user(const std::string& cn, const std::string& account) {
    const std::string dn = "CN=" + cn + "," + dn_;
    add(ldif_line("dn", dn) + "objectClass: user\n" + ldif_line("sAMAccountName", account) +
        "userAccountControl: 514\n");
    return dn;
  }
  std::string add_group(const std::string& cn, const std::string& account) {
    const std::string dn = "CN=" + cn + "," + dn_;
    add(ldif_line("dn", dn) + "objectClass: group\n" + ldif_line("sAMAccountName", account));
    return dn;
  }
  // The computer's account name is its CN followed by "$".
  std::string add_computer(const std::string& cn) {
    const std::string dn = "CN=" + cn + "," + dn_;
    add(ldif_line("dn", dn) + "objectClass: computer\n" + ldif_line("sAMAccountName", cn + "$") +
        "userAccountControl: 4096\n");
    return dn;
  }

 private:
  void add(const std::string& ldif) {
    const std::string path = "/tmp/txads-scratch-" + std::to_string(::getpid()) + ".ldif";
    std::ofstream(path) << ldif;
    try {
      shell("ldapadd -Q -f " + shell_quoted(path) + " >/dev/null");
    } catch (...) {
      ::unlink(path.c_str());
      throw;
    }
    ::unlink(path.c_str());
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

// The DN of the object with that SID text, asked through the server's own
// SID parser; "" when there is none.
inline std::string dn_of_sid(const std::string& sid_text) {
  const std::string out = shell("ldapsearch -Q -LLL -o ldif-wrap=no " +
                                shell_quoted("(objectSid=" + sid_text + ")") + " dn 2>/dev/null");
  const size_t start = out.find("dn: ");
  if (start == std::string::npos) return "";
  return out.substr(start + 4, out.find('\n', start) - start - 4);
}

// The domain's SID text: the SID of the naming context's head.
inline std::string domain_sid() {
  return sid_of(environment("LDAPBASE"));
}

}  // namespace scratch
