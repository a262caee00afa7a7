// LDAP paths: "LDAP://" [server [":" port] "/"] dn, and the distinguished
// name pieces the layer needs (first RDN, parent). A "/" inside the dn is
// written "\/" in a path: escape_path_dn writes it so, parse_dn reads it back.
// The provider name "LDAP" is case-sensitive. Pure functions; thread-safe.
#pragma once

#include <string>
#include <string_view>

#include "frame/status.h"

namespace txads::directory {

// The first part of every key of an endpoint or of the servers found for
// it: which of the two kinds of server it asks.
inline std::string key_kind(bool global_catalog) {
  return global_catalog ? "gc|" : "ldap|";
}

// Where to connect: a server named in a path, or one the client finds.
struct Endpoint {
  std::string server;  // as written ("dc1", "dc1:389", "[::1]:389"); "" = none named
  std::string host;    // server without port or brackets
  int port = 0;        // 0 = 389, or 3268 for the global catalog
  bool global_catalog = false;
  std::string domain;  // DNS name of the path's DC= parts; "" = none

  // Identifies the endpoint in pool and cache keys.
  std::string key() const { return key_kind(global_catalog) + server; }
};

struct LdapPath {
  Endpoint endpoint;  // never the global catalog: only "LDAP://" paths parse
  std::string dn;     // "\/" unescaped; "" = the server's root DSE
};

// kBadPathname for anything but a well-formed LDAP path: another or
// differently cased provider, an empty server, a port that is not a number
// from 1 to 65535, a dn with a dangling or malformed escape; the dn is read
// by parse_dn (kInvalidDnSyntax for a zero byte in it).
Status parse_path(std::string_view path, LdapPath& parsed);

// kInvalidDnSyntax when a name holds a zero byte, raw or written as the
// escape "\00": the server reads a name only up to that byte and would
// answer for another object ("OU=Lab\00junk" for "OU=Lab"). An escaped
// backslash ("\\00", "\5C00") is no zero byte. Every dn, relative name and
// account name that reaches the server from a caller passes this check.
Status refuse_nul(std::string_view name);

// The dn written as a caller or a path writes it, "\/" standing for "/":
// kInvalidDnSyntax for a zero byte (refuse_nul), kBadPathname unless the
// rest is LDAPv3 dn syntax. "" and "<GUID=...>"-style names pass unchanged.
Status parse_dn(std::string_view text, std::string& dn);

// The dn as a path writes it: every "/" as "\/" ("OU=Sales/East,DC=corp"
// gives "OU=Sales\/East,DC=corp"). Every path built from a name goes
// through it; parse_dn reads it back.
std::string escape_path_dn(std::string_view dn);

// The dn a path holds, "\/" read as "/" ("OU=Sales\/East" gives
// "OU=Sales/East"); every other escape stays as written.
std::string unescape_path_dn(std::string_view text);

// "LDAP://" + server + "/" + escape_path_dn(dn); no server part for "".
std::string format_path(std::string_view server, std::string_view dn);

// The first RDN as it stands in the dn ("CN=Ann Smith" of
// "CN=Ann Smith,OU=Lab,DC=corp"); the whole dn when it has one RDN.
std::string first_rdn(std::string_view dn);

// True when `rdn` is exactly one attribute=value ("CN=a\,b" is one; "OU=a,OU=b"
// and "CN=a+CN=b" are not), in LDAPv3 string form.
bool is_single_rdn(std::string_view rdn);

// The dn without its first RDN; "" for a single RDN.
std::string parent_dn(std::string_view dn);

// The DNS name made of the dn's DC= parts ("corp.example.com"), "" if none.
std::string dns_name_of(std::string_view dn);

}  // namespace txads::directory
