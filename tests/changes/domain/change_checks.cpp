// Helpers of the change tests (see change_checks.h).
#include "change_checks.h"

#include <gtest/gtest.h>

#include <cstring>

#include "frame/error_text.h"
#include "support/domain.h"

namespace changes_test {
namespace {

constexpr char kFill = '#';
constexpr size_t kGuard = 16;

std::string join(const std::vector<std::string>& dns) {
  std::string out;
  for (const auto& dn : dns) out += (out.empty() ? "" : "; ") + dn;
  return out;
}

}  // namespace

ErrorBuffer::ErrorBuffer(int length)
    : bytes_(static_cast<size_t>(length > 0 ? length : 0) + kGuard, kFill), length_(length) {}

ErrorBuffer::~ErrorBuffer() {
  const size_t end = static_cast<size_t>(length_ > 0 ? length_ : 0);
  EXPECT_EQ(bytes_.substr(end), std::string(kGuard, kFill)) << "written past the error buffer";
}

bool ErrorBuffer::untouched() const {
  const size_t end = static_cast<size_t>(length_ > 0 ? length_ : 0);
  return bytes_.find_first_not_of(kFill) >= end;
}

std::string ErrorBuffer::text() const {
  const size_t end = static_cast<size_t>(length_ > 0 ? length_ : 0);
  return std::string(bytes_.data(), strnlen(bytes_.data(), end));
}

std::string text_of(txads::Status status, int length) {
  std::string buffer(static_cast<size_t>(length), '\0');
  txads::GetADSErrorText(status, {buffer.data(), length});
  return std::string(buffer.c_str());
}

Picture picture(std::string_view dn) {
  Picture result;
  for (const auto& entry :
       txads_test::search(dn, "(objectClass=*)", txads_test::Scope::subtree, {"uSNChanged"})) {
    const auto usn = entry.values("uSNChanged");
    result[entry.dn] = usn.empty() ? "" : usn.front();
  }
  return result;
}

std::string added(const Picture& before, const Picture& after) {
  std::vector<std::string> dns;
  for (const auto& [dn, usn] : after) {
    if (!before.count(dn)) dns.push_back(dn);
  }
  return join(dns);
}

std::string removed(const Picture& before, const Picture& after) {
  return added(after, before);
}

std::string changed(const Picture& before, const Picture& after) {
  std::vector<std::string> dns;
  for (const auto& [dn, usn] : after) {
    auto found = before.find(dn);
    if (found != before.end() && found->second != usn) dns.push_back(dn);
  }
  return join(dns);
}

}  // namespace changes_test
