// Reads the default credential cache and its principal with MIT Kerberos.
// The per-thread context forgets its cached default cache name on every read
// so that a changed KRB5CCNAME is seen at once. Inside an export call the
// cache is read once, by the call's first operation: a call's operations all
// run under the identity it started with, without a file read each.
#include "directory/identity.h"

#include <krb5.h>

#include <memory>

#include "directory/krb5_owners.h"
#include "frame/call_clock.h"

namespace txads::directory {
namespace {

krb5_context thread_context() {
  thread_local Krb5Context context = [] {
    krb5_context raw = nullptr;
    if (krb5_init_context(&raw) != 0) raw = nullptr;
    return Krb5Context(raw);
  }();
  return context.get();
}

Identity read_identity() {
  Identity identity;
  krb5_context context = thread_context();
  if (context == nullptr) return identity;
  krb5_cc_set_default_name(context, nullptr);

  krb5_ccache raw_cache = nullptr;
  if (krb5_cc_default(context, &raw_cache) != 0) return identity;
  Krb5Cache cache(raw_cache, {context});

  char* raw_name = nullptr;
  if (krb5_cc_get_full_name(context, cache.get(), &raw_name) == 0) {
    Krb5String name(raw_name, {context});
    identity.ccache = name.get();
  }

  krb5_principal raw_principal = nullptr;
  if (krb5_cc_get_principal(context, cache.get(), &raw_principal) != 0) return identity;
  Krb5Principal principal(raw_principal, {context});
  char* raw_text = nullptr;
  if (krb5_unparse_name(context, principal.get(), &raw_text) == 0) {
    Krb5UnparsedName text(raw_text, {context});
    identity.principal = text.get();
  }
  identity.has_ticket =
      CredentialCursor(context, cache.get()).any([](const krb5_creds&) { return true; });
  return identity;
}

}  // namespace

Identity current_identity() {
  if (!in_call()) return read_identity();
  thread_local uint64_t read_in = 0;
  thread_local Identity identity;
  if (read_in != call_serial()) {
    identity = read_identity();
    read_in = call_serial();
  }
  return identity;
}

}  // namespace txads::directory
