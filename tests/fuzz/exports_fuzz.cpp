// The read exports on the test domain, any strings (null too) and lengths:
// nothing is written past a length, and every call returns.
#include <functional>

#include "fuzz_input.h"
#include "support/guarded_buffer.h"
#include "txads.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  txads_fuzz::FuzzInput in(data, size);
  const int which = in.length();
  const std::string a = in.text(), b = in.text();
  txads_test::GuardedBuffer out(in.length() % 2048), error(in.length() % 2048);
  const char *s = in.c_str(a), *t = in.c_str(b);
  char *o = out.data(), *e = error.data();
  const int n = out.length(), m = error.length();
  const std::function<int()> calls[] = {
      [&] { return TXADIsUserInContainer(s, t, e, m); },
      [&] { return TXADIsCurrentUserInContainer(s, e, m); },
      [&] { return TXADIsUserInGroup(s, t, e, m); },
      [&] { return TXADIsCurrentUserInGroup(s, e, m); },
      [&] { return TXADIsCurrentStationInContainer(s, e, m); },
      [&] { return TXADIsStationInContainer(s, t, e, m); },
      [&] { return TXADIsStationInContainerEx(s, t, o, n, e, m); },
      [&] { return TXADIsStationInGroup(s, t, e, m); },
      [&] { return TXADIsCurrentStationInGroup(s, e, m); },
      [&] { return TXADGetSIDFromName(s, o, n); },
      [&] { return TXADGetNameFromSID(s, o, n, e, m); },
      [&] { return TXADGetValue(s, t, o, n, e, m); },
      [&] { return TXADGetGroupList(s, o, n, e, m); },
      [&] { return TXADIsContainerExist(s, e, m); },
      [&] { return TXADIsGroupExist(s, e, m); },
      [&] { return TXADGetUserListFromContainer(s, o, n, e, m); },
      [&] { return TXADGetStationListFromContainer(s, o, n, e, m); },
  };
  TXADSetRecursFlag(which & 32);
  calls[static_cast<unsigned>(which) % std::size(calls)]();
  ensure(out.guards_intact() && error.guards_intact());
  return 0;
}
