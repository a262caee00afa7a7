#include "scratch.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>

namespace queries_test {
namespace {

constexpr char kGuard = '\x5A';
constexpr int kGuardBytes = 32;

std::string temp_file(const std::string& content) {
  char name[] = "/tmp/txads-queries-XXXXXX";
  const int fd = mkstemp(name);
  if (fd < 0) return "";
  std::ofstream(name) << content;
  close(fd);
  return name;
}

std::string slurp(const std::string& file) {
  std::ifstream in(file);
  std::stringstream s;
  s << in.rdbuf();
  return s.str();
}

// Runs argv with stdin from `input`; stdout and stderr into *output.
int run_tool(std::vector<std::string> argv, const std::string& input, std::string* output) {
  const std::string in = temp_file(input);
  const std::string out = temp_file("");
  const pid_t pid = fork();
  if (pid == 0) {
    const int in_fd = open(in.c_str(), O_RDONLY);
    const int out_fd = open(out.c_str(), O_WRONLY | O_TRUNC);
    dup2(in_fd, 0);
    dup2(out_fd, 1);
    dup2(out_fd, 2);
    std::vector<char*> args;
    for (auto& a : argv) args.push_back(a.data());
    args.push_back(nullptr);
    execvp(args[0], args.data());
    _exit(127);
  }
  int status = 0;
  waitpid(pid, &status, 0);
  if (output) *output = slurp(out);
  unlink(in.c_str());
  unlink(out.c_str());
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

std::vector<std::string> ldap_tool(const char* tool) {
  return {tool, "-Q", "-Y", "GSSAPI"};
}

const char kAlphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";

std::string base64(const std::string& bytes) {
  std::string out;
  size_t i = 0;
  for (; i + 2 < bytes.size(); i += 3) {
    const unsigned v = (static_cast<unsigned char>(bytes[i]) << 16) |
                       (static_cast<unsigned char>(bytes[i + 1]) << 8) |
                       static_cast<unsigned char>(bytes[i + 2]);
    for (int k = 3; k >= 0; --k) out += kAlphabet[(v >> (6 * k)) & 63];
  }
  const size_t rest = bytes.size() - i;
  if (rest > 0) {
    unsigned v = static_cast<unsigned char>(bytes[i]) << 16;
    if (rest == 2) v |= static_cast<unsigned char>(bytes[i + 1]) << 8;
    out += kAlphabet[(v >> 18) & 63];
    out += kAlphabet[(v >> 12) & 63];
    out += rest == 2 ? kAlphabet[(v >> 6) & 63] : '=';
    out += '=';
  }
  return out;
}

std::string unbase64(const std::string& text) {
  std::string out;
  unsigned v = 0;
  int bits = 0;
  for (char c : text) {
    const char* p = std::strchr(kAlphabet, c);
    if (c == '=' || p == nullptr || c == '\0') continue;
    v = (v << 6) | static_cast<unsigned>(p - kAlphabet);
    bits += 6;
    if (bits >= 8) {
      bits -= 8;
      out += static_cast<char>((v >> bits) & 0xFF);
    }
  }
  return out;
}

std::string child_dn(const std::string& rdn, const std::string& parent) {
  return rdn + "," + parent;
}

}  // namespace

std::string base_dn() {
  const char* base = std::getenv("LDAPBASE");
  return base ? base : "";
}

std::vector<std::string> search_dns(const std::string& base, const std::string& scope,
                                    const std::string& filter) {
  std::string output;
  auto argv = ldap_tool("ldapsearch");
  for (const char* a : {"-LLL", "-o", "ldif-wrap=no", "-b"}) argv.push_back(a);
  argv.push_back(base);
  argv.push_back("-s");
  argv.push_back(scope);
  argv.push_back(filter);
  argv.push_back("1.1");
  std::vector<std::string> dns;
  if (run_tool(argv, "", &output) != 0) return dns;
  std::istringstream lines(output);
  for (std::string line; std::getline(lines, line);) {
    if (line.rfind("dn:: ", 0) == 0)
      dns.push_back(unbase64(line.substr(5)));
    else if (line.rfind("dn: ", 0) == 0)
      dns.push_back(line.substr(4));
  }
  return dns;
}

std::string netbios_name() {
  static const std::string name = [] {
    std::string output;
    auto argv = ldap_tool("ldapsearch");
    for (const char* a : {"-LLL", "-o", "ldif-wrap=no", "-b"}) argv.push_back(a);
    argv.push_back("CN=Partitions,CN=Configuration," + base_dn());
    argv.push_back("(&(objectClass=crossRef)(nCName=" + base_dn() + "))");
    argv.push_back("nETBIOSName");
    if (run_tool(argv, "", &output) != 0) return std::string("CORP");
    const size_t at = output.find("nETBIOSName: ");
    if (at == std::string::npos) return std::string("CORP");
    return output.substr(at + 13, output.find('\n', at) - at - 13);
  }();
  return name;
}

std::string ldif_line(const std::string& attribute, const std::string& value) {
  return attribute + ":: " + base64(value) + "\n";
}

ScratchOu::ScratchOu() {
  static std::atomic<int> counter{0};
  // Short: account names (tag + name) must stay within 20 characters.
  tag_ = "q" + std::to_string(getpid() % 100000) + "x" + std::to_string(counter++) + "-";
  dn_ = "OU=txads-queries-" + tag_.substr(0, tag_.size() - 1) + "," + base_dn();
  add_ldif("dn: " + dn_ + "\nobjectClass: organizationalUnit\n");
}

ScratchOu::~ScratchOu() {
  flush();
  std::string output;
  auto argv = ldap_tool("ldapdelete");
  argv.push_back("-r");
  argv.push_back(dn_);
  if (run_tool(argv, "", &output) != 0)
    ADD_FAILURE() << "could not remove " << dn_ << ": " << output;
}

void ScratchOu::add_ldif(const std::string& ldif) {
  pending_ += ldif + "\n";
}

void ScratchOu::flush() const {
  if (pending_.empty()) return;
  std::string output;
  if (run_tool(ldap_tool("ldapadd"), pending_, &output) != 0) {
    ADD_FAILURE() << "ldapadd failed: " << output << "\nfor:\n" << pending_.substr(0, 2000);
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
  add_ldif(ldif_line("dn", dn) + "objectClass: " + object_class + "\n" + extra);
  return dn;
}

std::string ScratchOu::add_user(const std::string& rdn_value, const std::string& account,
                                const std::string& extra, const std::string& parent) {
  return add_entry("CN=" + rdn_value, "user", ldif_line("sAMAccountName", tag_ + account) + extra,
                   parent);
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
  std::string extra = ldif_line("sAMAccountName", tag_ + account);
  for (const auto& m : member_dns) extra += ldif_line("member", m);
  return add_entry("CN=" + rdn_value, "group", extra);
}

std::string ScratchOu::account_name(const std::string& account) const {
  flush();
  return netbios_name() + "\\" + tag_ + account;
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
