// The current user is the principal of the ticket cache in use, as long as
// its ticket-granting ticket has not expired; without one the user checks
// give no answer and say why in the error buffer.
#include <gtest/gtest.h>
#include <krb5.h>

#include <ctime>

#include "checks.h"
#include "frame/system_messages.h"
#include "frame/win32_errors.h"
#include "scratch_directory.h"
#include "txads.h"

namespace membership_test {
namespace {

// Writes a cache for ann@<realm> holding one ticket-granting ticket that
// ended an hour ago (or ends in an hour). The ticket itself is no real
// ticket: the checks must refuse the cache before they use it.
std::string cache_with_tgt(const char* file, long end_offset) {
  krb5_context context = nullptr;
  EXPECT_EQ(krb5_init_context(&context), 0);
  const std::string name = std::string("FILE:") + file;
  krb5_ccache cache = nullptr;
  EXPECT_EQ(krb5_cc_resolve(context, name.c_str(), &cache), 0);
  krb5_principal client = nullptr, server = nullptr;
  EXPECT_EQ(krb5_parse_name(context, "ann@CORP.EXAMPLE.COM", &client), 0);
  EXPECT_EQ(krb5_parse_name(context, "krbtgt/CORP.EXAMPLE.COM@CORP.EXAMPLE.COM", &server), 0);
  EXPECT_EQ(krb5_cc_initialize(context, cache, client), 0);
  krb5_creds creds{};
  creds.client = client;
  creds.server = server;
  const auto now = static_cast<krb5_timestamp>(std::time(nullptr));
  creds.times.authtime = creds.times.starttime = now - 7200;
  creds.times.endtime = static_cast<krb5_timestamp>(now + end_offset);
  creds.keyblock.enctype = ENCTYPE_AES256_CTS_HMAC_SHA1_96;
  static krb5_octet key[32] = {};
  creds.keyblock.length = sizeof key;
  creds.keyblock.contents = key;
  static char ticket[] = "not a ticket";
  creds.ticket.length = sizeof ticket - 1;
  creds.ticket.data = ticket;
  EXPECT_EQ(krb5_cc_store_cred(context, cache, &creds), 0);
  krb5_free_principal(context, client);
  krb5_free_principal(context, server);
  krb5_cc_close(context, cache);
  krb5_free_context(context);
  return name;
}

struct Case {
  const char* what;
  std::string cache;
  uint32_t error;
};

TEST(CurrentUserTicket, MissingOrExpiredTicketsGiveNoAnswerWithTheirText) {
  const std::string staff = path_of(seeded("OU=Staff"));
  const Case cases[] = {
      {"no cache", "FILE:/nonexistent/txads-no-cache", txads::win32::ERROR_NO_SUCH_LOGON_SESSION},
      {"an expired ticket", cache_with_tgt("/tmp/txads-membership-expired", -3600),
       txads::win32::ERROR_CONTEXT_EXPIRED},
  };
  for (const Case& c : cases) {
    GuardedBuffer error, group_error;
    int in_container = 0, in_group = 0;
    {
      AsUser as(c.cache);
      in_container = TXADIsCurrentUserInContainer(staff.c_str(), error.data(), error.length());
      in_group = TXADIsCurrentUserInGroup("S-1-1-0", group_error.data(), group_error.length());
    }
    EXPECT_EQ(in_container, -1) << c.what;
    EXPECT_EQ(error.text(), txads::system_message(c.error)) << c.what;
    EXPECT_FALSE(error.text().empty()) << c.what;
    EXPECT_EQ(in_group, -1) << c.what;
    EXPECT_EQ(group_error.text(), txads::system_message(c.error)) << c.what;
  }
  std::remove("/tmp/txads-membership-expired");
}

}  // namespace
}  // namespace membership_test
