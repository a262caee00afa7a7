// The conversation between the library and the dialog helper program.
//
// One request goes from the library to the helper, one reply comes back, both
// on the same socket. A message is UTF-8 text in lines: a version line, then
// "key value" lines, then "end". Values are escaped so that they stay on one
// line ("\\" for a backslash, "\n" and "\r" for line breaks).
//
//   TXADS-DIALOG 1            TXADS-DIALOG 1        TXADS-DIALOG 1
//   dialog group-picker       outcome chosen        outcome failed
//   owner 0x1a00007           path LDAP://dc1/...   status 0x800705B3
//   end                       end                   text no X display
//                                                   end
//
// Keys a reader does not know are skipped, so later minor additions need no
// new version; a different version number is refused. Plain value types and
// functions; thread-safe.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "frame/status.h"

namespace txads::dialogs {

inline constexpr int kProtocolVersion = 1;
inline constexpr std::string_view kProtocolMagic = "TXADS-DIALOG";
// A message larger than this is refused rather than buffered without end.
inline constexpr size_t kMaxMessageBytes = 1u << 20;

enum class DialogKind { container_browser, group_picker };

struct DialogRequest {
  DialogKind kind = DialogKind::container_browser;
  std::optional<std::string> caption;  // window title; nullopt = the dialog's own
  std::optional<std::string> title;    // text above the tree; nullopt = the dialog's own
  uint64_t owner_window = 0;           // X11 window id to stay above; 0 = none
};

enum class Outcome { chosen, cancelled, failed };

struct DialogReply {
  Outcome outcome = Outcome::failed;
  std::vector<std::string> paths;  // chosen: LDAP paths in the order shown
  Status status;                   // failed: what went wrong
  std::string text;                // failed: a description for diagnostics
};

std::string encode(const DialogRequest& request);
std::string encode(const DialogReply& reply);

// Both give kBadMessage for a malformed message and kVersionMismatch for
// another protocol version.
Status decode(std::string_view message, DialogRequest& request);
Status decode(std::string_view message, DialogReply& reply);

// Collects bytes from a stream until a whole message ("end" line) is in.
class MessageReader {
 public:
  // Adds bytes; false once the message is over kMaxMessageBytes.
  bool feed(std::string_view bytes);
  bool complete() const { return complete_; }
  // The message up to and including its "end" line; bytes after it are dropped.
  const std::string& message() const { return buffer_; }

 private:
  std::string buffer_;
  bool complete_ = false;
};

// Escaping of one value, exposed for tests.
std::string escape_value(std::string_view value);
std::optional<std::string> unescape_value(std::string_view value);

}  // namespace txads::dialogs
