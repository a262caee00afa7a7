// Subcommands for the existence checks.
#include "cli.h"
#include "txads.h"

namespace {

int run_is_container_exist(const cli::Options& o) {
  cli::Buffer error(o.error_size);
  const int result = TXADIsContainerExist(o.args[0].c_str(), error.data(), error.size());
  cli::print_result(result);
  cli::print_buffer("error", error);
  return result;
}

int run_is_group_exist(const cli::Options& o) {
  cli::Buffer error(o.error_size);
  const int result = TXADIsGroupExist(o.args[0].c_str(), error.data(), error.size());
  cli::print_result(result);
  cli::print_buffer("error", error);
  return result;
}

const cli::Registration is_container_exist{
    {"is-container-exist", "TXADIsContainerExist", "PATH",
     "Asks whether PATH (\"LDAP://[server/]dn\") names an organizational unit or\n"
     "container. Result: 0 it exists; -3 no such object, or PATH has 7 characters\n"
     "or fewer (not looked up); -1 the lookup failed for another reason (bad path,\n"
     "server unreachable, not a container, ...), with the reason in \"error\".",
     1, run_is_container_exist}};

const cli::Registration is_group_exist{
    {"is-group-exist", "TXADIsGroupExist", "PATH",
     "Asks whether PATH (\"LDAP://[server/]dn\") names a group. Result: 0 it\n"
     "exists; -3 no such object; -1 the lookup failed for another reason (bad or\n"
     "empty path, server unreachable, the object is not a group, ...), with the\n"
     "reason in \"error\".",
     1, run_is_group_exist}};

}  // namespace
