// The existence checks: does a container (organizational unit or container
// object) or a group exist at an LDAP path. Results: 0 exists and is of that
// kind, -3 no such object (for the container check also a path of 7
// characters or fewer, not bound), -1 any other bind failure with its error
// text in the error buffer. Thread-safe: each call binds its own object.
#pragma once

#include "frame/output_buffer.h"

namespace txads::queries {

int IsContainerExist(const char* container_path, OutputBuffer error);
int IsGroupExist(const char* group_path, OutputBuffer error);

}  // namespace txads::queries
