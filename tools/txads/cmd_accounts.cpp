// Subcommands for the account translations: distinguished name to SID text
// and SID text to account name and LDAP path.
#include "cli.h"
#include "txads.h"

namespace {

int run_get_sid_from_name(const cli::Options& o) {
  cli::Buffer sid(o.buffer_size);
  const int result = TXADGetSIDFromName(o.args[0].c_str(), sid.data(), sid.size());
  cli::print_result(result);
  cli::print_buffer("sid", sid);
  return result;
}

int run_get_name_from_sid(const cli::Options& o) {
  cli::Buffer account(o.buffer_size);
  cli::Buffer path(o.buffer_size);
  const int result = TXADGetNameFromSID(o.args[0].c_str(), account.data(), account.size(),
                                        path.data(), path.size());
  cli::print_result(result);
  cli::print_buffer("account", account);
  cli::print_buffer("path", path);
  return result;
}

const cli::Registration get_sid_from_name{
    {"get-sid-from-name", "TXADGetSIDFromName", "DN-OR-LDAP-PATH",
     "Translates an account's distinguished name, or an LDAP path to it (a\n"
     "server part is allowed; case does not matter), to the account's SID text,\n"
     "for example S-1-5-21-1004336348-1177238915-682003330-1105.\n"
     "Result: 1 the SID text was written; 0 the name could not be translated or\n"
     "names no account (nothing is written).",
     1, run_get_sid_from_name}};

const cli::Registration get_name_from_sid{
    {"get-name-from-sid", "TXADGetNameFromSID", "SID-TEXT",
     "Translates SID text to the account name (DOMAIN\\name; a well-known account\n"
     "without a domain gives \\name, for example \\Everyone for S-1-1-0) and, when\n"
     "the directory knows the account, its LDAP path with the domain as server\n"
     "(LDAP://corp.example.com/CN=...,DC=corp,DC=example,DC=com).\n"
     "Result: 1 the SID names an account (the path may still be empty); 0 the\n"
     "text is not a SID or names no account (nothing is written).",
     1, run_get_name_from_sid}};

}  // namespace
