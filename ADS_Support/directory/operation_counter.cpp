// Process-wide relaxed atomic counters.
#include "directory/operation_counter.h"

#include <atomic>

namespace txads::directory {
namespace {

std::atomic<uint64_t> operations{0};
std::atomic<uint64_t> binds{0};
std::atomic<uint64_t> connections{0};

}  // namespace

OperationCounts operation_counts() {
  return {operations.load(std::memory_order_relaxed), binds.load(std::memory_order_relaxed),
          connections.load(std::memory_order_relaxed)};
}

void count_operation() {
  operations.fetch_add(1, std::memory_order_relaxed);
}

void count_bind() {
  binds.fetch_add(1, std::memory_order_relaxed);
  count_operation();
}

void count_connection() {
  connections.fetch_add(1, std::memory_order_relaxed);
}

}  // namespace txads::directory
