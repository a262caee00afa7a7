#include "queries/account_dn.h"

#include "frame/conversions.h"

namespace txads::queries {

Status account_dn(directory::NameTranslate& translator, const char* account, std::string& dn) {
  const auto name = to_directory(account);
  if (!name) return kInvalidArg;
  Status status = translator.set(directory::NameType::nt4, *name);
  if (status.failed()) return status;
  return translator.get(directory::NameType::rfc1779, dn);
}

}  // namespace txads::queries
