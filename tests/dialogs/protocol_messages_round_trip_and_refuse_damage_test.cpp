// The library and the dialog helper understand each other's messages, and a
// damaged or foreign message is refused with the protocol's own codes.
#include <gtest/gtest.h>

#include <string>

#include "dialogs/dialog_protocol.h"

namespace txads::dialogs {
namespace {

TEST(ProtocolRequest, RoundTripKeepsEveryFieldAndTellsNullFromEmpty) {
  struct Case {
    const char* name;
    DialogRequest request;
  };
  const Case cases[] = {
      {"browser with texts", {DialogKind::container_browser, "Pick one", "Where to?", 0}},
      {"browser without texts", {DialogKind::container_browser, std::nullopt, std::nullopt, 0}},
      {"empty texts stay empty", {DialogKind::container_browser, "", "", 0}},
      {"picker with owner", {DialogKind::group_picker, std::nullopt, std::nullopt, 0x1a00007}},
      {"line breaks and backslashes",
       {DialogKind::container_browser, "a\\nb\nc\r\\", "\\\\\n\n", 0}},
      {"non-ASCII text", {DialogKind::container_browser, "B\xC3\xBCro w\xC3\xA4hlen", "x", 0}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    DialogRequest out;
    out.owner_window = 99;
    ASSERT_EQ(decode(encode(c.request), out), kOk);
    EXPECT_EQ(out.kind, c.request.kind);
    EXPECT_EQ(out.caption, c.request.caption);
    EXPECT_EQ(out.title, c.request.title);
    EXPECT_EQ(out.owner_window, c.request.owner_window);
  }
}

TEST(ProtocolRequest, IsLineBasedTextWithVersionLine) {
  const DialogRequest request{DialogKind::group_picker, std::nullopt, "two\nlines", 0x2a};
  EXPECT_EQ(encode(request),
            "TXADS-DIALOG 1\ndialog group-picker\ntitle two\\nlines\nowner 0x2A\nend\n");
}

TEST(ProtocolReply, RoundTripOfEachOutcome) {
  DialogReply chosen;
  chosen.outcome = Outcome::chosen;
  chosen.paths = {"LDAP://dc1.corp.example.com/OU=A\\/B,DC=corp", "LDAP://x/CN=Two\\, Lines"};
  DialogReply out;
  ASSERT_EQ(decode(encode(chosen), out), kOk);
  EXPECT_EQ(out.outcome, Outcome::chosen);
  EXPECT_EQ(out.paths, chosen.paths);

  DialogReply cancelled;
  cancelled.outcome = Outcome::cancelled;
  ASSERT_EQ(decode(encode(cancelled), out), kOk);
  EXPECT_EQ(out.outcome, Outcome::cancelled);
  EXPECT_TRUE(out.paths.empty());

  DialogReply failed;
  failed.outcome = Outcome::failed;
  failed.status = kNoDisplay;
  failed.text = "cannot open the X display ':7'\nsecond line";
  ASSERT_EQ(decode(encode(failed), out), kOk);
  EXPECT_EQ(out.outcome, Outcome::failed);
  EXPECT_EQ(out.status.bits(), 0x800705B3u);
  EXPECT_EQ(out.text, failed.text);
}

TEST(ProtocolReply, UnknownKeysAreSkipped) {
  DialogReply out;
  ASSERT_EQ(decode("TXADS-DIALOG 1\nhint later\noutcome chosen\npath P\nextra\nend\n", out), kOk);
  EXPECT_EQ(out.outcome, Outcome::chosen);
  ASSERT_EQ(out.paths.size(), 1u);
  EXPECT_EQ(out.paths[0], "P");
}

TEST(ProtocolDecode, RefusesDamagedMessages) {
  struct Case {
    const char* name;
    const char* message;
    Status expected;
  };
  const Case cases[] = {
      {"empty", "", kBadMessage},
      {"no version line", "outcome chosen\nend\n", kBadMessage},
      {"other magic", "TXADS-DIALOGUE 1\noutcome chosen\nend\n", kBadMessage},
      {"version not a number", "TXADS-DIALOG one\noutcome chosen\nend\n", kBadMessage},
      {"newer version", "TXADS-DIALOG 2\noutcome chosen\nend\n", kVersionMismatch},
      {"older version", "TXADS-DIALOG 0\noutcome chosen\nend\n", kVersionMismatch},
      {"no end line", "TXADS-DIALOG 1\noutcome chosen\n", kBadMessage},
      {"unterminated end", "TXADS-DIALOG 1\noutcome chosen\nend", kBadMessage},
      {"no outcome", "TXADS-DIALOG 1\npath P\nend\n", kBadMessage},
      {"unknown outcome", "TXADS-DIALOG 1\noutcome maybe\nend\n", kBadMessage},
      {"failure without status", "TXADS-DIALOG 1\noutcome failed\ntext t\nend\n", kBadMessage},
      {"failure with success status", "TXADS-DIALOG 1\noutcome failed\nstatus 0x1\nend\n",
       kBadMessage},
      {"status beyond 32 bits", "TXADS-DIALOG 1\noutcome failed\nstatus 0x180004005\nend\n",
       kBadMessage},
      {"bad escape", "TXADS-DIALOG 1\noutcome chosen\npath a\\tb\nend\n", kBadMessage},
      {"dangling escape", "TXADS-DIALOG 1\noutcome chosen\npath a\\\nend\n", kBadMessage},
      {"raw carriage return", "TXADS-DIALOG 1\noutcome chosen\npath a\rb\nend\n", kBadMessage},
      {"empty key", "TXADS-DIALOG 1\n value\noutcome chosen\nend\n", kBadMessage},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    DialogReply out;
    out.paths = {"untouched"};
    EXPECT_EQ(decode(c.message, out).bits(), c.expected.bits());
    EXPECT_EQ(out.paths, std::vector<std::string>{"untouched"});
  }
}

TEST(ProtocolDecode, RequestNeedsAKnownDialogAndANumericOwner) {
  DialogRequest out;
  EXPECT_EQ(decode("TXADS-DIALOG 1\ncaption c\nend\n", out), kBadMessage);
  EXPECT_EQ(decode("TXADS-DIALOG 1\ndialog file-chooser\nend\n", out), kBadMessage);
  EXPECT_EQ(decode("TXADS-DIALOG 1\ndialog group-picker\nowner window\nend\n", out), kBadMessage);
  EXPECT_EQ(decode("TXADS-DIALOG 1\ndialog group-picker\nowner 0x\nend\n", out), kBadMessage);
  ASSERT_EQ(decode("TXADS-DIALOG 1\ndialog group-picker\nowner 4242\nend\n", out), kOk);
  EXPECT_EQ(out.owner_window, 4242u);
}

TEST(MessageReader, CompletesOnlyAtTheEndLineWhateverTheChunks) {
  const std::string message = encode(DialogRequest{DialogKind::group_picker, "end", "end\n", 0});
  for (size_t chunk = 1; chunk <= message.size(); ++chunk) {
    SCOPED_TRACE(chunk);
    MessageReader reader;
    for (size_t at = 0; at < message.size(); at += chunk) {
      EXPECT_FALSE(reader.complete());
      ASSERT_TRUE(reader.feed(std::string_view(message).substr(at, chunk)));
    }
    ASSERT_TRUE(reader.complete());
    EXPECT_EQ(reader.message(), message);
  }
}

TEST(MessageReader, DropsBytesAfterTheEndLine) {
  MessageReader reader;
  ASSERT_TRUE(reader.feed("TXADS-DIALOG 1\noutcome cancelled\nend\ntrailing garbage"));
  ASSERT_TRUE(reader.complete());
  EXPECT_EQ(reader.message(), "TXADS-DIALOG 1\noutcome cancelled\nend\n");
}

TEST(MessageReader, RefusesAMessageWithoutEnd) {
  MessageReader reader;
  const std::string line(4096, 'x');
  bool accepted = true;
  for (size_t fed = 0; fed <= kMaxMessageBytes && accepted; fed += line.size()) {
    accepted = reader.feed(line);
  }
  EXPECT_FALSE(accepted);
  EXPECT_FALSE(reader.complete());
}

}  // namespace
}  // namespace txads::dialogs
