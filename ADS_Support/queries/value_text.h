// The text that TXADGetValue gives for an attribute's value, chosen by the
// attribute's syntax so that no binary or numeric value is ever taken as a
// string. All texts are UTF-8. Pure functions; thread-safe.
//
//   string, DN    the value as it stands
//   integer       decimal ("-5", "512")
//   large integer decimal ("133497345678901234")
//   boolean       "TRUE" or "FALSE"
//   time          ISO 8601 in UTC ("2024-03-01T09:30:00Z")
//   SID           SID text ("S-1-5-21-1004336348-1177238915-682003330-512")
//   GUID          registry form ("{6F9619FF-8B86-D011-B42D-00C04FC964FF}")
//   other binary  upper-case hexadecimal, two digits a byte ("0A1B2C")
//   several       each value as above, joined with "; "
#pragma once

#include <string>
#include <string_view>

#include "directory/value.h"

namespace txads::queries {

// The value's text; "" for a value without values.
std::string value_text(const directory::Value& value);

// One binary SID as text. Bytes that are not exactly one valid SID give
// their hexadecimal form instead.
std::string sid_text(std::string_view sid);

// 16 bytes as {xxxxxxxx-xxxx-xxxx-xxxx-xxxxxxxxxxxx}, the first three fields
// read little-endian; any other size gives the hexadecimal form.
std::string guid_text(std::string_view guid);

// Two upper-case hexadecimal digits per byte, no separators.
std::string hex_text(std::string_view bytes);

// Generalized time ("20240301093000.0Z") or UTC time ("240301093000Z") as
// ISO 8601; a text of neither form is returned as it stands.
std::string time_text(std::string_view directory_time);

}  // namespace txads::queries
