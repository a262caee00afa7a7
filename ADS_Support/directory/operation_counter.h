// Counts of the LDAP requests this process has sent, for tests and
// benchmarks: every search page, write, root DSE read and bind is one
// operation; binds and new connections are also counted on their own.
// Lock-free; thread-safe.
#pragma once

#include <cstdint>

namespace txads::directory {

struct OperationCounts {
  uint64_t operations = 0;   // every request, binds included
  uint64_t binds = 0;        // SASL binds
  uint64_t connections = 0;  // connections opened
};

OperationCounts operation_counts();

void count_operation();
void count_bind();
void count_connection();

}  // namespace txads::directory
