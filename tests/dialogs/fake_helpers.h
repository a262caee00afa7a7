// Stand-ins for the dialog helper program, as /bin/sh scripts. They exist to
// produce what the real helper never does on purpose (crashes, garbage,
// hangs, several chosen paths) and to record what the library sends; every
// test that uses one says which of these it injects.
#pragma once

#include <string>

namespace txads::testing {

// Reads the request from fd 3 up to its "end" line.
inline const std::string kReadRequest =
    "while IFS= read -r l <&3; do [ \"$l\" = end ] && break; done";

// Reads the request, writing each line to the file named by $TXADS_TEST_RECORD.
inline const std::string kRecordRequest =
    "while IFS= read -r l <&3; do printf '%s\\n' \"$l\" >>\"$TXADS_TEST_RECORD\"; "
    "[ \"$l\" = end ] && break; done";

// A script body that reads the request and answers with `reply` (printf
// format text: "\\n" for line breaks, no "%").
inline std::string answering(const std::string& reply) {
  return kReadRequest + "\nprintf '" + reply + "' >&3";
}

inline std::string chosen_reply(const std::string& escaped_paths_lines) {
  return "TXADS-DIALOG 1\\noutcome chosen\\n" + escaped_paths_lines + "end\\n";
}

inline const std::string kCancelledReply = "TXADS-DIALOG 1\\noutcome cancelled\\nend\\n";

}  // namespace txads::testing
