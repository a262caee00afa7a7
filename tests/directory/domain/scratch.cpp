// Runs the OpenLDAP tools through popen; their output is parsed only as far
// as the tests need.
#include "scratch.h"

#include <unistd.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <stdexcept>

namespace scratch {
namespace {

const char* kTools = "-Q -Y GSSAPI -N -o nettimeout=10";

struct PipeClose {
  void operator()(FILE* f) const noexcept { pclose(f); }
};

std::string run_reading(const std::string& command) {
  std::unique_ptr<FILE, PipeClose> pipe(popen(command.c_str(), "r"));
  if (!pipe) throw std::runtime_error("cannot run " + command);
  std::string out;
  char buffer[4096];
  size_t n;
  while ((n = fread(buffer, 1, sizeof buffer, pipe.get())) > 0) out.append(buffer, n);
  return out;
}

std::string quoted(const std::string& text) {
  std::string out = "'";
  for (char c : text) {
    if (c == '\'')
      out += "'\\''";
    else
      out += c;
  }
  return out + "'";
}

// ldapsearch -LLL output, with continuation lines joined and base64 values
// left encoded.
std::vector<std::string> lines_of(const std::string& output) {
  std::vector<std::string> lines;
  size_t start = 0;
  while (start < output.size()) {
    size_t end = output.find('\n', start);
    if (end == std::string::npos) end = output.size();
    std::string line = output.substr(start, end - start);
    if (!line.empty() && line[0] == ' ' && !lines.empty())
      lines.back() += line.substr(1);
    else
      lines.push_back(line);
    start = end + 1;
  }
  return lines;
}

}  // namespace

std::string base() {
  const char* b = std::getenv("LDAPBASE");
  return b ? b : "DC=corp,DC=example,DC=com";
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
  const std::string command = std::string("ldapmodify -a ") + (continue_on_error ? "-c " : "") +
                              kTools + " >/dev/null 2>&1";
  FILE* pipe = popen(command.c_str(), "w");
  if (!pipe) return -1;
  fwrite(ldif.data(), 1, ldif.size(), pipe);
  return pclose(pipe);
}

bool exists(const std::string& dn) {
  const std::string out = run_reading("ldapsearch -LLL " + std::string(kTools) + " -s base -b " +
                                      quoted(dn) + " 1.1 2>/dev/null");
  return out.find("dn:") != std::string::npos;
}

std::vector<std::string> values(const std::string& dn, const std::string& attribute) {
  const std::string out = run_reading("ldapsearch -LLL " + std::string(kTools) + " -s base -b " +
                                      quoted(dn) + " " + quoted(attribute) + " 2>/dev/null");
  std::vector<std::string> found;
  const std::string prefix = attribute + ": ";
  for (const std::string& line : lines_of(out)) {
    if (line.compare(0, prefix.size(), prefix) == 0) found.push_back(line.substr(prefix.size()));
  }
  return found;
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
  // Tree delete control: the OU and everything below it in one request.
  const std::string command = "ldapdelete " + std::string(kTools) +
                              " -e '!1.2.840.113556.1.4.805' " + quoted(dn_) + " >/dev/null 2>&1";
  if (std::system(command.c_str()) != 0) {
    std::system(
        ("ldapdelete -r " + std::string(kTools) + " " + quoted(dn_) + " >/dev/null 2>&1").c_str());
  }
}

int Ou::add(const std::string& rdn, const std::string& object_class,
            const std::string& extra_lines) {
  return modify("dn: " + rdn + "," + dn_ + "\nobjectClass: " + object_class + "\n" + extra_lines +
                "\n");
}

}  // namespace scratch
