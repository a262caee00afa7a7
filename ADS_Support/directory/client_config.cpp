// Applies the layer's few settings to a handle that libldap has already
// configured from ldap.conf, LDAPRC and the environment.
#include "directory/client_config.h"

#include <unistd.h>

#include <cctype>
#include <cstdlib>
#include <fstream>
#include <string_view>
#include <vector>

#include "directory/ldap_owners.h"
#include "frame/ascii_case.h"

namespace txads::directory {
namespace {

// True when a line of the file starts with the keyword (case-insensitive).
bool file_mentions(const std::string& path, std::string_view keyword) {
  std::ifstream in(path);
  std::string line;
  while (std::getline(in, line)) {
    size_t i = 0;
    while (i < line.size() && std::isspace(static_cast<unsigned char>(line[i]))) ++i;
    if (line.size() - i < keyword.size()) continue;
    bool match = true;
    for (size_t k = 0; k < keyword.size() && match; ++k) {
      match = ascii_upper(line[i + k]) == keyword[k];
    }
    const size_t after = i + keyword.size();
    if (match && (after == line.size() || std::isspace(static_cast<unsigned char>(line[after]))))
      return true;
  }
  return false;
}

// The files libldap reads, in its own order.
std::vector<std::string> configuration_files() {
  std::vector<std::string> files;
  const char* conf = std::getenv("LDAPCONF");
  files.push_back(conf ? conf : "/etc/ldap/ldap.conf");
  const char* home = std::getenv("HOME");
  const std::string home_dir = home ? home : "";
  std::vector<std::string> names = {"ldaprc"};
  if (const char* rc = std::getenv("LDAPRC")) names.push_back(rc);
  for (const std::string& name : names) {
    if (!home_dir.empty()) {
      files.push_back(home_dir + "/" + name);
      files.push_back(home_dir + "/." + name);
    }
    files.push_back(name);
  }
  return files;
}

int set_timeout_if_unset(LDAP* ld, int option, int seconds) {
  timeval* raw = nullptr;
  const int rc = ldap_get_option(ld, option, &raw);
  Timeval current(raw);
  if (rc == LDAP_OPT_SUCCESS && current && current->tv_sec > 0) return LDAP_SUCCESS;
  const timeval value{seconds, 0};
  return ldap_set_option(ld, option, &value) == LDAP_OPT_SUCCESS ? LDAP_SUCCESS : LDAP_LOCAL_ERROR;
}

}  // namespace

bool setting_configured(std::string_view keyword) {
  if (std::getenv("LDAPNOINIT") != nullptr) return false;
  if (std::getenv(("LDAP" + std::string(keyword)).c_str()) != nullptr) return true;
  for (const std::string& file : configuration_files()) {
    if (file_mentions(file, keyword)) return true;
  }
  return false;
}

bool nocanon_configured() {
  return setting_configured("SASL_NOCANON");
}

int prepare_handle(LDAP* ld) {
  const int version = LDAP_VERSION3;
  if (ldap_set_option(ld, LDAP_OPT_PROTOCOL_VERSION, &version) != LDAP_OPT_SUCCESS)
    return LDAP_LOCAL_ERROR;
  if (ldap_set_option(ld, LDAP_OPT_REFERRALS, LDAP_OPT_OFF) != LDAP_OPT_SUCCESS)
    return LDAP_LOCAL_ERROR;
  int rc = set_timeout_if_unset(ld, LDAP_OPT_NETWORK_TIMEOUT, kDefaultNetworkTimeoutSeconds);
  if (rc != LDAP_SUCCESS) return rc;
  rc = set_timeout_if_unset(ld, LDAP_OPT_TIMEOUT, kDefaultOperationTimeoutSeconds);
  if (rc != LDAP_SUCCESS) return rc;
  if (!nocanon_configured() &&
      ldap_set_option(ld, LDAP_OPT_X_SASL_NOCANON, LDAP_OPT_ON) != LDAP_OPT_SUCCESS)
    return LDAP_LOCAL_ERROR;

  ber_len_t min_ssf = 0;
  if (ldap_get_option(ld, LDAP_OPT_X_SASL_SSF_MIN, &min_ssf) != LDAP_OPT_SUCCESS) min_ssf = 0;
  if (min_ssf < kMinimumSsf) {
    const ber_len_t wanted = kMinimumSsf;
    if (ldap_set_option(ld, LDAP_OPT_X_SASL_SSF_MIN, &wanted) != LDAP_OPT_SUCCESS)
      return LDAP_LOCAL_ERROR;
  }
  return LDAP_SUCCESS;
}

std::string sasl_mechanism(LDAP* ld) {
  char* raw = nullptr;
  ldap_get_option(ld, LDAP_OPT_X_SASL_MECH, &raw);
  LdapString mech(raw);
  if (mech && *mech) return mech.get();
  return "GSSAPI";
}

timeval operation_timeout(LDAP* ld) {
  timeval* raw = nullptr;
  ldap_get_option(ld, LDAP_OPT_TIMEOUT, &raw);
  Timeval value(raw);
  if (value && value->tv_sec > 0) return *value;
  return {kDefaultOperationTimeoutSeconds, 0};
}

timeval network_timeout(LDAP* ld) {
  timeval* raw = nullptr;
  ldap_get_option(ld, LDAP_OPT_NETWORK_TIMEOUT, &raw);
  Timeval value(raw);
  if (value && (value->tv_sec > 0 || value->tv_usec > 0)) return *value;
  return {kDefaultNetworkTimeoutSeconds, 0};
}

}  // namespace txads::directory
