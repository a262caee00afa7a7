// A credential cache that names a principal but holds no ticket (what kinit
// leaves once its tickets are removed) is no logon session: directory calls
// answer with the text of 0x80070520, as for a missing cache, not with the
// directory client's own error.
#include <gtest/gtest.h>
#include <krb5.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <string>

#include "support/domain.h"
#include "support/guarded_buffer.h"
#include "txads.h"

namespace {

const std::string kNoLogonSession =
    "There is no logon session for the caller: no Kerberos credential cache was found.\n";

// A cache file holding only `principal`.
void write_principal_only_cache(const std::string& file, const std::string& principal) {
  krb5_context context = nullptr;
  ASSERT_EQ(krb5_init_context(&context), 0);
  krb5_ccache cache = nullptr;
  krb5_principal client = nullptr;
  ASSERT_EQ(krb5_cc_resolve(context, ("FILE:" + file).c_str(), &cache), 0);
  ASSERT_EQ(krb5_parse_name(context, principal.c_str(), &client), 0);
  EXPECT_EQ(krb5_cc_initialize(context, cache, client), 0);
  krb5_free_principal(context, client);
  krb5_cc_close(context, cache);
  krb5_free_context(context);
}

TEST(ACacheWithAPrincipalAndNoTicket, IsNoLogonSession) {
  std::string realm = txads_test::dns_domain();
  std::transform(realm.begin(), realm.end(), realm.begin(),
                 [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
  const std::string file = "/tmp/txads-principal-only-" + std::to_string(getpid());
  write_principal_only_cache(file, "ann@" + realm);
  const std::string site = txads_test::path_of(txads_test::seeded("OU=Site"));
  txads_test::AsUser nobody(file);
  const struct {
    const char* name;
    int (*call)(const std::string& path, char* error, int length);
  } rows[] = {
      {"TXADIsContainerExist", [](const std::string& path, char* e,
                                  int n) { return TXADIsContainerExist(path.c_str(), e, n); }},
      {"TXADIsCurrentUserInContainer",
       [](const std::string& path, char* e, int n) {
         return TXADIsCurrentUserInContainer(path.c_str(), e, n);
       }},
  };
  for (const auto& row : rows) {
    txads_test::GuardedBuffer error(200);
    EXPECT_EQ(row.call(site, error.data(), 200), -1) << row.name;
    EXPECT_EQ(error.text(), kNoLogonSession) << row.name;
  }
  unlink(file.c_str());
}

}  // namespace
