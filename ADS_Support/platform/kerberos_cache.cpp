// Reading the default credential cache with libkrb5.
#include "platform/kerberos_cache.h"

#include <krb5.h>

#include <ctime>
#include <memory>
#include <string_view>

#include "directory/krb5_owners.h"
#include "frame/win32_errors.h"

namespace txads {
namespace {

using directory::CredentialCursor;
using directory::Krb5Cache;
using directory::Krb5Context;
using directory::Krb5Principal;
using directory::Krb5UnparsedName;

std::string_view data_text(const krb5_data& d) {
  return {d.data, d.length};
}

// A ticket-granting ticket of the client's realm that has not yet ended.
bool has_valid_tgt(krb5_context context, krb5_ccache cache, krb5_const_principal client) {
  const auto now = static_cast<krb5_timestamp>(std::time(nullptr));
  CredentialCursor cursor(context, cache);
  return cursor.any([&](const krb5_creds& creds) {
    const krb5_const_principal server = creds.server;
    if (server == nullptr || krb5_princ_size(context, server) != 2) return false;
    if (data_text(*krb5_princ_component(context, server, 0)) != "krbtgt") return false;
    if (data_text(*krb5_princ_component(context, server, 1)) !=
        data_text(*krb5_princ_realm(context, client)))
      return false;
    return static_cast<int64_t>(creds.times.endtime) > static_cast<int64_t>(now);
  });
}

}  // namespace

uint32_t current_principal(CachePrincipal& principal) {
  krb5_context raw_context = nullptr;
  if (krb5_init_context(&raw_context) != 0) return win32::ERROR_NO_SUCH_LOGON_SESSION;
  Krb5Context context(raw_context);

  krb5_ccache raw_cache = nullptr;
  if (krb5_cc_default(context.get(), &raw_cache) != 0) return win32::ERROR_NO_SUCH_LOGON_SESSION;
  Krb5Cache cache(raw_cache, {context.get()});

  krb5_principal raw_client = nullptr;
  if (krb5_cc_get_principal(context.get(), cache.get(), &raw_client) != 0)
    return win32::ERROR_NO_SUCH_LOGON_SESSION;
  Krb5Principal client(raw_client, {context.get()});

  // A cache that kinit made and kdestroy-like tools emptied keeps its
  // principal: without any ticket there is no logon session to use.
  if (!CredentialCursor(context.get(), cache.get()).any([](const krb5_creds&) { return true; }))
    return win32::ERROR_NO_SUCH_LOGON_SESSION;
  if (!has_valid_tgt(context.get(), cache.get(), client.get())) return win32::ERROR_CONTEXT_EXPIRED;

  char* raw_name = nullptr;
  if (krb5_unparse_name_flags(context.get(), client.get(), KRB5_PRINCIPAL_UNPARSE_NO_REALM,
                              &raw_name) != 0)
    return win32::ERROR_NO_SUCH_LOGON_SESSION;
  Krb5UnparsedName name(raw_name, {context.get()});
  principal.name = name.get();
  principal.realm = std::string(data_text(*krb5_princ_realm(context.get(), client.get())));
  return 0;
}

}  // namespace txads
