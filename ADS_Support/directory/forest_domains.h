// The domains of the configured server's forest: the crossRef objects with a
// NetBIOS name in its Partitions container. The partitions hardly ever
// change, so they are read once per forest for the process's life; a lookup
// that misses asks again with `fresh`. Thread-safe.
#pragma once

#include <string>
#include <vector>

#include "frame/status.h"

namespace txads::directory {

struct ForestDomain {
  std::string naming_context;  // "DC=corp,DC=example,DC=com"
  std::string netbios_name;    // "CORP"
  std::string dns_root;        // "corp.example.com"; "" when the crossRef names none
};

// No request when the forest's list is kept and `fresh` is false.
Status forest_domains(bool fresh, std::vector<ForestDomain>& domains);

}  // namespace txads::directory
