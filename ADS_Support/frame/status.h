// Status: a 32-bit HRESULT, the one result type of every internal operation,
// and every status value the library produces or branches on.
// Negative means failure. Cheap to copy; thread-safe as a value.
#pragma once

#include <cstdint>

#include "frame/win32_errors.h"

namespace txads {

class [[nodiscard]] Status {
 public:
  constexpr Status() = default;
  constexpr explicit Status(uint32_t hresult) : code_(static_cast<int32_t>(hresult)) {}

  // HRESULT_FROM_WIN32: 0 stays S_OK, anything else gets facility 7.
  static constexpr Status from_win32(uint32_t error) {
    return error == 0 ? Status() : Status((error & 0xFFFFu) | 0x80070000u);
  }

  constexpr int32_t code() const { return code_; }
  constexpr uint32_t bits() const { return static_cast<uint32_t>(code_); }
  constexpr bool failed() const { return code_ < 0; }
  constexpr bool ok() const { return code_ >= 0; }
  constexpr uint32_t facility() const { return (bits() >> 16) & 0x1FFFu; }
  // The Win32 error inside a facility-7 code, else 0.
  constexpr uint32_t win32() const { return facility() == 7 ? (bits() & 0xFFFFu) : 0; }

  friend constexpr bool operator==(Status a, Status b) { return a.code_ == b.code_; }

 private:
  int32_t code_ = 0;
};

// Codes callers branch on; the comment says what the caller does next.
inline constexpr Status kOk{0x00000000u};                // go on
inline constexpr Status kFalse{0x00000001u};             // enumeration ended; COM already set up
inline constexpr Status kNoInterface{0x80004002u};       // object is of another kind
inline constexpr Status kPointer{0x80004003u};           // required pointer missing
inline constexpr Status kFail{0x80004005u};              // unspecified failure; report it
inline constexpr Status kOutOfMemory{0x8007000Eu};       // give up the call
inline constexpr Status kInvalidArg{0x80070057u};        // caller's argument refused
inline constexpr Status kBadPathname{0x80005000u};       // path is not an LDAP path
inline constexpr Status kPropertyNotFound{0x8000500Du};  // attribute holds no value
inline constexpr Status kObjectExists{0x8000500Eu};  // the directory interface's own "exists" code
inline constexpr Status kNoSuchObject{0x80072030u};  // object absent: often an answer
inline constexpr Status kInvalidDnSyntax{0x80072032u};         // DN refused by the server
inline constexpr Status kUnwillingToPerform{0x80072035u};      // server refused the operation
inline constexpr Status kNotAllowedOnNonLeaf{0x80072015u};     // object still has children
inline constexpr Status kInsufficientRights{0x80072098u};      // access denied by the directory
inline constexpr Status kServerDown{0x8007203Au};              // server unreachable: retry later
inline constexpr Status kAlreadyExists{0x80071392u};           // object or member exists already
inline constexpr Status kAttributeOrValueExists{0x8007200Du};  // value already present
inline constexpr Status kNoAttributeOrValue{0x8007200Au};      // value not present
inline constexpr Status kCantConvertDatatype{0x8000500Cu};     // value has the wrong form
inline constexpr Status kObjectUnbound{0x80005009u};   // object not bound yet: bind it first
inline constexpr Status kUnexpected{0x8000FFFFu};      // call out of order: a fault of the code
inline constexpr Status kNotImplemented{0x80004001u};  // operation not offered: do without
// A file the call needs may not be used by this user: report it.
inline constexpr Status kAccessDenied = Status::from_win32(win32::ERROR_ACCESS_DENIED);
// Text longer than the call's working buffer: the call fails, nothing is cut.
inline constexpr Status kTextTooLong = Status::from_win32(win32::ERROR_INSUFFICIENT_BUFFER);
// A search found more entries than its size limit: those up to it came back.
inline constexpr Status kSizeLimitExceeded = Status::from_win32(win32::ERROR_DS_SIZELIMIT_EXCEEDED);

// Name translation and the ticket behind every bind.
inline constexpr Status kNameNotFound{0x80072116u};    // no object has that name: an answer
inline constexpr Status kNameNotUnique{0x80072117u};   // several objects have it: be precise
inline constexpr Status kNameNoMapping{0x80072118u};   // the name has no form of the kind asked
inline constexpr Status kNoLogonSession{0x80070520u};  // no Kerberos ticket: log on first

// The dialogs, as Win32 codes so that their text is the message table's.
// Shared by the library and the dialog helper program.
inline constexpr Status kHelperMissing =  // helper not installed or not executable: reinstall
    Status::from_win32(win32::ERROR_FILE_NOT_FOUND);
inline constexpr Status kBadMessage =  // helper's message unreadable: a broken install
    Status::from_win32(win32::ERROR_INVALID_DATA);
inline constexpr Status kHelperAborted =  // helper ended without an answer (crashed, killed)
    Status::from_win32(win32::ERROR_PROCESS_ABORTED);
inline constexpr Status kVersionMismatch =  // library and helper of two versions: mixed install
    Status::from_win32(win32::ERROR_REVISION_MISMATCH);
inline constexpr Status kInvalidOwnerWindow =  // the owner window id names no window
    Status::from_win32(win32::ERROR_INVALID_WINDOW_HANDLE);
inline constexpr Status kNoDisplay =  // no X display to show the dialog on
    Status::from_win32(win32::ERROR_REQUIRES_INTERACTIVE_WINDOWSTATION);

}  // namespace txads
