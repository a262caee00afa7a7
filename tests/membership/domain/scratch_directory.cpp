// Test support for the membership checks; see scratch_directory.h.
#include "scratch_directory.h"

#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <stdexcept>

namespace membership_test {
namespace {

// Trace lines go to a file of this process; set before the first line.
const std::string kTraceFile = [] {
  std::string file = "/tmp/txads-membership-trace-" + std::to_string(getpid()) + ".log";
  setenv("ZKTRACE_FILE", file.c_str(), 1);
  return file;
}();

const std::string kAdminCache = [] {
  const char* cache = std::getenv("KRB5CCNAME");
  return std::string(cache ? cache : "");
}();

std::string env(const char* name) {
  const char* value = std::getenv(name);
  if (value == nullptr) throw std::runtime_error(std::string("not set: ") + name);
  return value;
}

// Runs argv with `input` on its standard input, as the administrator;
// returns the exit status and fills `output` with its standard output.
int run(const std::vector<std::string>& argv, const std::string& input, std::string& output) {
  const std::string in_file = "/tmp/txads-membership-in-" + std::to_string(getpid());
  std::ofstream(in_file) << input;
  std::string command = "KRB5CCNAME='" + kAdminCache + "'";
  for (const auto& arg : argv) {
    std::string quoted = "'";
    for (char c : arg) quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
    command += " " + quoted + "'";
  }
  command += " <" + in_file + " 2>/dev/null";
  FILE* pipe = popen(command.c_str(), "r");
  if (pipe == nullptr) return -1;
  char chunk[4096];
  output.clear();
  for (size_t n; (n = fread(chunk, 1, sizeof chunk, pipe)) > 0;) output.append(chunk, n);
  const int status = pclose(pipe);
  std::remove(in_file.c_str());
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

std::atomic<int> scratch_count{0};

}  // namespace

std::string base_dn() {
  return env("LDAPBASE");
}
std::string path_of(const std::string& dn) {
  return "LDAP://" + dn;
}
std::string ccache_of(const std::string& account) {
  return "FILE:" + env("TXADS_CCACHE_DIR") + "/" + account;
}

AsUser::AsUser(const std::string& account) {
  setenv("KRB5CCNAME", ccache_of(account).c_str(), 1);
}
AsUser::~AsUser() {
  setenv("KRB5CCNAME", kAdminCache.c_str(), 1);
}

bool modify(const std::string& ldif) {
  std::string out;
  return run({"ldapmodify", "-Q", "-Y", "GSSAPI"}, ldif, out) == 0;
}

std::vector<std::string> read_attribute(const std::string& dn, const std::string& attribute) {
  std::string out;
  run({"ldapsearch", "-Q", "-LLL", "-o", "ldif-wrap=no", "-Y", "GSSAPI", "-b", dn, "-s", "base",
       "(objectClass=*)", attribute},
      "", out);
  std::vector<std::string> values;
  std::istringstream lines(out);
  const std::string prefix = attribute + ": ";
  for (std::string line; std::getline(lines, line);)
    if (line.compare(0, prefix.size(), prefix) == 0) values.push_back(line.substr(prefix.size()));
  return values;
}

std::string sid_of(const std::string& dn) {
  std::string out;
  // objectSid comes back base64; samba's ldapsearch control for the string
  // form is not portable, so decode the binary layout here.
  run({"ldapsearch", "-Q", "-LLL", "-o", "ldif-wrap=no", "-Y", "GSSAPI", "-b", dn, "-s", "base",
       "(objectClass=*)", "objectSid"},
      "", out);
  const size_t at = out.find("objectSid:: ");
  if (at == std::string::npos) return "";
  const std::string b64 = out.substr(at + 12, out.find('\n', at) - at - 12);
  std::string bin;
  run({"base64", "-d"}, b64, bin);
  if (bin.size() < 8) return "";
  uint64_t authority = 0;
  for (int i = 2; i < 8; ++i) authority = authority << 8 | static_cast<unsigned char>(bin[i]);
  std::string text = "S-1-" + std::to_string(authority);
  for (size_t i = 8; i + 4 <= bin.size(); i += 4) {
    uint32_t sub = 0;
    for (int b = 3; b >= 0; --b) sub = sub << 8 | static_cast<unsigned char>(bin[i + b]);
    text += "-" + std::to_string(sub);
  }
  return text;
}

ScratchOu::ScratchOu() {
  tag_ = std::to_string(getpid() % 100000) + "x" + std::to_string(scratch_count++);
  dn_ = "OU=txads-membership-" + tag_ + "," + base_dn();
  if (!modify("dn: " + dn_ + "\nchangetype: add\nobjectClass: organizationalUnit\n"))
    throw std::runtime_error("cannot create " + dn_);
}

ScratchOu::~ScratchOu() {
  std::string out;
  run({"ldapdelete", "-Q", "-Y", "GSSAPI", "-r", dn_}, "", out);
}

std::string ScratchOu::add(const std::string& rdn, const std::string& parent,
                           const std::string& body) {
  const std::string dn = rdn + "," + (parent.empty() ? dn_ : parent);
  if (!modify("dn: " + dn + "\nchangetype: add\n" + body))
    throw std::runtime_error("cannot create " + dn);
  return dn;
}

std::string ScratchOu::add_ou(const std::string& name, const std::string& parent) {
  return add("OU=" + name, parent, "objectClass: organizationalUnit\n");
}

std::string ScratchOu::add_container(const std::string& name, const std::string& parent) {
  return add("CN=" + name, parent, "objectClass: container\n");
}

std::string ScratchOu::add_group(const std::string& name, const std::string& parent) {
  return add("CN=" + name, parent,
             "objectClass: group\nsAMAccountName: " + name.substr(0, 10) + tag_ + "\n");
}

std::string ScratchOu::add_computer(const std::string& name, const std::string& parent) {
  return add("CN=" + name, parent,
             "objectClass: computer\nsAMAccountName: " + name +
                 "$\n"
                 "userAccountControl: 4096\n");
}

void ScratchOu::add_member(const std::string& group_dn, const std::string& member_dn) {
  if (!modify("dn: " + group_dn + "\nchangetype: modify\nadd: member\nmember: " + member_dn + "\n"))
    throw std::runtime_error("cannot add " + member_dn + " to " + group_dn);
}

TraceCapture::TraceCapture() {
  std::ifstream file(kTraceFile, std::ios::ate);
  offset_ = file ? static_cast<long>(file.tellg()) : 0;
}

std::vector<std::string> TraceCapture::lines() const {
  std::ifstream file(kTraceFile);
  file.seekg(offset_);
  std::vector<std::string> messages;
  static const std::string kField = " | 6 | ";
  for (std::string line; std::getline(file, line);) {
    const size_t at = line.find(kField);
    if (at != std::string::npos) messages.push_back(line.substr(at + kField.size()));
  }
  return messages;
}

std::string txads_on_host(const std::string& host, const std::vector<std::string>& args) {
  std::vector<std::string> argv = {
      "unshare", "--uts", "/bin/sh", "-c", "hostname \"$0\" && exec \"$@\"", host, TXADS_COMMAND};
  argv.insert(argv.end(), args.begin(), args.end());
  std::string out;
  run(argv, "", out);
  return out;
}

int result_of(const std::string& output) {
  const size_t at = output.find("result: ");
  return at == std::string::npos ? 999 : std::atoi(output.c_str() + at + 8);
}

}  // namespace membership_test
