// Error texts: the ADS error name table, the system text of facility-7 codes
// and the hexadecimal form of everything else. Constant data; thread-safe.
#include "frame/error_text.h"

#include <cstdio>
#include <cstring>

#include "frame/last_error.h"
#include "frame/system_messages.h"

namespace txads {
namespace {

struct NamedCode {
  uint32_t code;
  const char* name;
};

constexpr NamedCode kAdsErrorNames[] = {
    {0x80005000u, "E_ADS_BAD_PATHNAME"},           {0x80005001u, "E_ADS_INVALID_DOMAIN_OBJECT"},
    {0x80005002u, "E_ADS_INVALID_USER_OBJECT"},    {0x80005003u, "E_ADS_INVALID_COMPUTER_OBJECT"},
    {0x80005004u, "E_ADS_UNKNOWN_OBJECT"},         {0x80005005u, "E_ADS_PROPERTY_NOT_SET"},
    {0x80005006u, "E_ADS_PROPERTY_NOT_SUPPORTED"}, {0x80005007u, "E_ADS_PROPERTY_INVALID"},
    {0x80005008u, "E_ADS_BAD_PARAMETER"},          {0x80005009u, "E_ADS_OBJECT_UNBOUND"},
    {0x8000500Au, "E_ADS_PROPERTY_NOT_MODIFIED"},  {0x8000500Bu, "E_ADS_PROPERTY_MODIFIED"},
    {0x8000500Cu, "E_ADS_CANT_CONVERT_DATATYPE"},  {0x8000500Du, "E_ADS_PROPERTY_NOT_FOUND"},
    {0x8000500Eu, "E_ADS_OBJECT_EXISTS"},          {0x8000500Fu, "E_ADS_SCHEMA_VIOLATION"},
    {0x80005010u, "E_ADS_COLUMN_NOT_SET"},         {0x80005014u, "E_ADS_INVALID_FILTER"},
    {0x00005011u, "S_ADS_ERRORSOCCURRED"},         {0x00005012u, "S_ADS_NOMORE_ROWS"},
    {0x00005013u, "S_ADS_NOMORE_COLUMNS"},         {0u, ""},
};

constexpr size_t kWorkText = 300;

// A system text with insert sequences (%1 to %99) would need arguments that
// an error text cannot supply; such a text gives the empty text.
bool has_inserts(const char* text) {
  for (const char* p = std::strchr(text, '%'); p != nullptr; p = std::strchr(p + 1, '%')) {
    if (p[1] >= '1' && p[1] <= '9') return true;
  }
  return false;
}

}  // namespace

const char* GetADSErrorName(Status status) {
  if ((status.bits() & 0x5000u) == 0) return "";
  for (const NamedCode* row = kAdsErrorNames; row->code != 0; ++row) {
    if (row->code == status.bits()) return row->name;
  }
  return "";
}

void GetADSErrorText(Status status, OutputBuffer error) {
  if (!error.usable()) return;
  std::memset(error.data, 0, static_cast<size_t>(error.length));

  char work[kWorkText] = {};
  const char* name = GetADSErrorName(status);
  if (*name != '\0') {
    std::snprintf(work, sizeof work, "%s", name);
  } else if (status.facility() == 7) {
    // The whole HRESULT is the message id; at most 299 characters are kept.
    const char* text = system_message(status.bits());
    if (!has_inserts(text)) std::snprintf(work, sizeof work, "%s", text);
  } else {
    std::snprintf(work, sizeof work, "%X", status.bits());
  }
  const size_t room = static_cast<size_t>(error.length) - 1;
  const size_t n = strnlen(work, room);
  std::memcpy(error.data, work, n);
}

std::string GetLastErrorText() {
  return system_message(GetLastError());
}

}  // namespace txads
