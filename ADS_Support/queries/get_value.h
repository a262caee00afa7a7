// TXADGetValue's work: one attribute of an account as text. The export in
// get_value.cpp is the thin C boundary around get_value. Thread-safe: every
// call has its own translator and objects.
#pragma once

#include <cstddef>
#include <string>

#include "frame/output_buffer.h"
#include "frame/status.h"

namespace txads::queries {

// Working limits, in bytes of the caller's code set: the account's
// distinguished name, and the value text. A longer one fails the call with
// kTextTooLong rather than being cut.
inline constexpr size_t kMaxDnBytes = 252;
inline constexpr size_t kMaxValueBytes = 499;

// Translates account (domain\name), binds its object as a user and reads the
// attribute into text (the caller's code set, rendered as value_text.h
// says). Fails with the first failing step's status: the translator's,
// the bind's, kInvalidArg for a null attribute, kPropertyNotFound for an
// empty or malformed attribute name or one without a value, kTextTooLong.
Status read_value(const char* account, const char* attribute, std::string& text);

// The whole query: 0 with the text copied into value by the strncpy rule, or
// -1 with the failure's error text in error (value untouched).
int get_value(const char* account, const char* attribute, OutputBuffer value, OutputBuffer error);

}  // namespace txads::queries
