// Reads the default credential cache and its principal with MIT Kerberos.
// The per-thread context forgets its cached default cache name on every call
// so that a changed KRB5CCNAME is seen at once.
#include "directory/identity.h"

#include <krb5.h>

#include <memory>

#include "directory/ldap_owners.h"

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

struct CcacheClose {
  krb5_context context;
  void operator()(krb5_ccache cc) const noexcept { krb5_cc_close(context, cc); }
};

struct StringFree {
  krb5_context context;
  void operator()(char* s) const noexcept { krb5_free_string(context, s); }
};

struct PrincipalFree {
  krb5_context context;
  void operator()(krb5_principal p) const noexcept { krb5_free_principal(context, p); }
};

struct UnparsedFree {
  krb5_context context;
  void operator()(char* s) const noexcept { krb5_free_unparsed_name(context, s); }
};

}  // namespace

Identity current_identity() {
  Identity identity;
  krb5_context context = thread_context();
  if (context == nullptr) return identity;
  krb5_cc_set_default_name(context, nullptr);

  krb5_ccache raw_cache = nullptr;
  if (krb5_cc_default(context, &raw_cache) != 0) return identity;
  std::unique_ptr<std::remove_pointer_t<krb5_ccache>, CcacheClose> cache(raw_cache, {context});

  char* raw_name = nullptr;
  if (krb5_cc_get_full_name(context, cache.get(), &raw_name) == 0) {
    std::unique_ptr<char, StringFree> name(raw_name, {context});
    identity.ccache = name.get();
  }

  krb5_principal raw_principal = nullptr;
  if (krb5_cc_get_principal(context, cache.get(), &raw_principal) != 0) return identity;
  std::unique_ptr<std::remove_pointer_t<krb5_principal>, PrincipalFree> principal(raw_principal,
                                                                                  {context});
  char* raw_text = nullptr;
  if (krb5_unparse_name(context, principal.get(), &raw_text) == 0) {
    std::unique_ptr<char, UnparsedFree> text(raw_text, {context});
    identity.principal = text.get();
  }
  return identity;
}

}  // namespace txads::directory
