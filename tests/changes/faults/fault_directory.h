// A stand-in for the directory operations, linked into the fault tests
// instead of the real directory layer. It exists only to inject faults the
// real domain controller cannot be made to produce on demand: a failed read of
// userAccountControl, a refused enabling write, a refused staging, a failed
// or empty path read. Everything else behaves like a directory that accepts
// every request. Each call is written to a log, so a test sees exactly what
// would have reached the directory. Not thread-safe; one test at a time.
#pragma once

#include <map>
#include <string>
#include <vector>

#include "frame/status.h"

namespace fault_directory {

struct Script {
  // userAccountControl as the directory returns it, or the read's failure.
  std::string account_control = "4130";  // 0x1022: new, disabled, no password needed
  txads::Status read_account_control = txads::kOk;
  // The n-th set_info call (from 1) fails with this status.
  std::map<int, txads::Status> set_info_fails;
  // Staging this attribute fails with this status.
  std::map<std::string, txads::Status> put_fails;
  // get_ads_path of a found object fails, or reports an empty path.
  txads::Status path_read = txads::kOk;
  bool empty_path = false;
};

// Resets the script and the log; the next test starts from a clean directory.
Script& script();
// "bind container LDAP://...", "create computer cn=PC", "put name=PC",
// "set_info", "get userAccountControl", "move_here LDAP://...", ...
std::vector<std::string>& log();
void reset();

}  // namespace fault_directory
