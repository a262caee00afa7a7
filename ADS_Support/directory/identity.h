// The Kerberos identity a call runs as: the credential cache that
// KRB5CCNAME (or the Kerberos configuration) names at this moment, and the
// principal it holds. Connections are kept per identity, so that a call never
// rides on a connection bound as someone else. Thread-safe (one Kerberos
// context per thread).
#pragma once

#include <memory>
#include <string>

namespace txads::directory {

struct Identity {
  std::string ccache;       // full cache name, "FILE:/tmp/krb5cc_1000"
  std::string principal;    // "ann@CORP.EXAMPLE.COM"; "" when the cache is missing or empty
  bool has_ticket = false;  // the cache holds a ticket (expired or not) for the principal
};

// Looked up for every export call (once, by its first operation) and on every
// use outside one: the environment and the cache may have changed. A FILE
// cache is read again only when its file has changed. Shared, not copied: a
// call holds the identity it started with however the cache changes.
std::shared_ptr<const Identity> current_identity();

}  // namespace txads::directory
