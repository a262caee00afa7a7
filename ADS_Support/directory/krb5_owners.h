// Owner types for what libkrb5 hands out: a context, and the credential
// caches, principals and strings made with one. Every owner but the context's
// keeps the context it frees with, which must outlive it.
// Take ownership on the line after the call that fills the out-parameter.
// Plain RAII types: not shared between threads. CredentialCursor walks a
// cache's credentials and ends the walk on destruction.
#pragma once

#include <krb5.h>

#include <memory>
#include <type_traits>

namespace txads::directory {

struct Krb5ContextFree {
  void operator()(krb5_context c) const noexcept { krb5_free_context(c); }
};
using Krb5Context = std::unique_ptr<std::remove_pointer_t<krb5_context>, Krb5ContextFree>;

struct Krb5CacheClose {
  krb5_context context;
  void operator()(krb5_ccache c) const noexcept { krb5_cc_close(context, c); }
};
using Krb5Cache = std::unique_ptr<std::remove_pointer_t<krb5_ccache>, Krb5CacheClose>;

struct Krb5PrincipalFree {
  krb5_context context;
  void operator()(krb5_principal p) const noexcept { krb5_free_principal(context, p); }
};
using Krb5Principal = std::unique_ptr<std::remove_pointer_t<krb5_principal>, Krb5PrincipalFree>;

// A principal's name from krb5_unparse_name*.
struct Krb5UnparsedNameFree {
  krb5_context context;
  void operator()(char* n) const noexcept { krb5_free_unparsed_name(context, n); }
};
using Krb5UnparsedName = std::unique_ptr<char, Krb5UnparsedNameFree>;

// Any other string libkrb5 allocates (krb5_cc_get_full_name, ...).
struct Krb5StringFree {
  krb5_context context;
  void operator()(char* s) const noexcept { krb5_free_string(context, s); }
};
using Krb5String = std::unique_ptr<char, Krb5StringFree>;

class CredentialCursor {
 public:
  CredentialCursor(krb5_context context, krb5_ccache cache) : context_(context), cache_(cache) {
    open_ = krb5_cc_start_seq_get(context_, cache_, &cursor_) == 0;
  }
  ~CredentialCursor() {
    if (open_) krb5_cc_end_seq_get(context_, cache_, &cursor_);
  }
  CredentialCursor(const CredentialCursor&) = delete;
  CredentialCursor& operator=(const CredentialCursor&) = delete;

  // Calls `seen` with each ticket (configuration entries skipped) until it
  // returns true; true if it did.
  template <class Seen>
  bool any(Seen&& seen) {
    if (!open_) return false;
    krb5_creds creds;
    while (krb5_cc_next_cred(context_, cache_, &cursor_, &creds) == 0) {
      const bool hit = !krb5_is_config_principal(context_, creds.server) && seen(creds);
      krb5_free_cred_contents(context_, &creds);
      if (hit) return true;
    }
    return false;
  }

 private:
  krb5_context context_;
  krb5_ccache cache_;
  krb5_cc_cursor cursor_{};
  bool open_ = false;
};

}  // namespace txads::directory
