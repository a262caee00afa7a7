// Product names: an append-only list of interned names plus the current one.
#include "product_name.h"

#include <atomic>
#include <cstring>
#include <new>

namespace zktrace {
namespace {

struct Name {
  const Name* next;
  char text[kProductNameMax + 1];
};

std::atomic<const Name*> interned{nullptr};
std::atomic<const char*> current{nullptr};

const Name* find(const Name* from, const char* text) noexcept {
  for (const Name* n = from; n != nullptr; n = n->next) {
    if (std::strcmp(n->text, text) == 0) return n;
  }
  return nullptr;
}

}  // namespace

void set_product(const char* name) noexcept {
  char text[kProductNameMax + 1] = {};
  if (name != nullptr) std::strncpy(text, name, kProductNameMax);

  const Name* head = interned.load(std::memory_order_acquire);
  const Name* found = find(head, text);
  if (found == nullptr) {
    Name* fresh = new (std::nothrow) Name{};
    if (fresh == nullptr) return;
    std::memcpy(fresh->text, text, sizeof text);
    // Push at the head; a racing writer may intern the same name twice, which
    // costs a few bytes and nothing else.
    fresh->next = head;
    while (!interned.compare_exchange_weak(head, fresh, std::memory_order_acq_rel)) {
      fresh->next = head;
    }
    found = fresh;
  }
  current.store(found->text, std::memory_order_release);
}

const char* current_product() noexcept {
  return current.load(std::memory_order_acquire);
}

}  // namespace zktrace
