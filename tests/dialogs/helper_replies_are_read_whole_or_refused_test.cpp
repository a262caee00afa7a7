// The library's defence against a broken helper: a reply is read up to its
// "end" line however the bytes arrive and refused beyond its size limit, and
// a damaged or foreign reply is refused as invalid data or a revision
// mismatch, leaving the caller's reply as it was.
#include <gtest/gtest.h>

#include "dialogs/dialog_protocol.h"

namespace txads::dialogs {
namespace {

constexpr uint32_t kInvalidData = 0x8007000D;
constexpr uint32_t kRevisionMismatch = 0x8007051A;

TEST(HelperReplies, AreRefusedWhenDamaged) {
  struct Row {
    const char* name;
    std::string message;
    uint32_t code;                   // 0: accepted
    std::vector<std::string> paths;  // when accepted
  };
  DialogReply escaped;
  escaped.outcome = Outcome::chosen;
  escaped.paths = {"LDAP://dc1/CN=a\\\\,b\nc\r", "LDAP://dc1/CN=two"};
  const std::string v1 = "TXADS-DIALOG 1\n";
  // clang-format off
  const Row rows[] = {
    {"escaped values round trip", encode(escaped), 0, escaped.paths},
    {"unknown keys are skipped", v1 + "hint x\noutcome chosen\npath P\nend\n", 0, {"P"}},
    {"empty", "", kInvalidData, {}},
    {"no version line", "outcome chosen\nend\n", kInvalidData, {}},
    {"other magic", "TXADS-DIALOGUE 1\noutcome chosen\nend\n", kInvalidData, {}},
    {"magic without version", "TXADS-DIALOG \noutcome chosen\nend\n", kInvalidData, {}},
    {"newer version", "TXADS-DIALOG 2\noutcome chosen\nend\n", kRevisionMismatch, {}},
    {"no end line", v1 + "outcome chosen\n", kInvalidData, {}},
    {"unterminated end line", v1 + "outcome chosen\nend", kInvalidData, {}},
    {"no outcome", v1 + "path P\nend\n", kInvalidData, {}},
    {"unknown outcome", v1 + "outcome maybe\nend\n", kInvalidData, {}},
    {"failure without status", v1 + "outcome failed\nend\n", kInvalidData, {}},
    {"failure with a success status", v1 + "outcome failed\nstatus 0x1\nend\n", kInvalidData, {}},
    {"status beyond 32 bits", v1 + "outcome failed\nstatus 0x180004005\nend\n", kInvalidData, {}},
    {"unknown escape", v1 + "outcome chosen\npath a\\tb\nend\n", kInvalidData, {}},
    {"dangling escape", v1 + "outcome chosen\npath a\\\nend\n", kInvalidData, {}},
    {"raw carriage return", v1 + "outcome chosen\npath a\rb\nend\n", kInvalidData, {}},
  };
  // clang-format on
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    DialogReply reply;
    reply.paths = {"untouched"};
    EXPECT_EQ(decode(row.message, reply).bits(), row.code);
    EXPECT_EQ(reply.paths, row.code == 0 ? row.paths : std::vector<std::string>{"untouched"});
  }
}

TEST(HelperReplies, AreReadUpToTheEndLineAndNoFurther) {
  const std::string reply = "TXADS-DIALOG 1\noutcome chosen\npath end\nend\n";
  struct Row {
    std::vector<std::string> chunks;
    bool accepted, complete;
  };
  std::vector<Row> rows = {
      {{reply + "garbage after the end line\nend\n"}, true, true},
      {{std::string(kMaxMessageBytes, 'x')}, true, false},  // the largest size
      {{std::string(kMaxMessageBytes, 'x'), "y"}, false, false},
  };
  for (size_t size = 1; size <= 6; ++size) {  // the end line split at every place
    rows.push_back({{}, true, true});
    for (size_t at = 0; at < reply.size(); at += size)
      rows.back().chunks.push_back(reply.substr(at, size));
  }
  for (const Row& row : rows) {
    SCOPED_TRACE(row.chunks.front().substr(0, 40) + "… in " + std::to_string(row.chunks.size()));
    MessageReader reader;
    bool accepted = true;
    for (const std::string& chunk : row.chunks) accepted = reader.feed(chunk);
    EXPECT_EQ(accepted, row.accepted);
    EXPECT_EQ(reader.complete() ? reader.message() : "", row.complete ? reply : "");
  }
}

}  // namespace
}  // namespace txads::dialogs
