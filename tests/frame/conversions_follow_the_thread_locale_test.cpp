// Caller text is in the calling thread's LC_CTYPE code set (uselocale
// counts), the directory's in UTF-8: texts convert both ways in a Latin-1, a
// UTF-8 and the C locale, invalid text is refused, what the caller's code set
// cannot hold becomes "?", and one thread's locale never reaches another.
#include <gtest/gtest.h>

#include <langinfo.h>
#include <locale.h>

#include <optional>
#include <string>
#include <thread>

#include "frame/conversions.h"

namespace txads {
namespace {

// A locale of the code set (scripts/install-deps makes them), current on
// this thread for the scope.
class ThreadLocale {
 public:
  explicit ThreadLocale(const std::string& code_set) {
    for (const char* name :
         {"C.UTF-8", "en_US.UTF-8", "de_DE.ISO-8859-1", "en_US.ISO-8859-1", "C"}) {
      if (loc_ != nullptr) freelocale(loc_);
      loc_ = newlocale(LC_CTYPE_MASK, name, static_cast<locale_t>(nullptr));
      if (loc_ != nullptr && nl_langinfo_l(CODESET, loc_) == code_set) break;
    }
    EXPECT_EQ(nl_langinfo_l(CODESET, loc_), code_set) << "run scripts/install-deps";
    previous_ = uselocale(loc_);
  }
  ~ThreadLocale() {
    uselocale(previous_);
    freelocale(loc_);
  }

 private:
  locale_t loc_ = nullptr, previous_ = nullptr;
};

const std::string kUtf8 = "M\xC3\xBCller", kLatin1 = "M\xFCller",
                  kEuro =
                      "\xE2\x82\xAC"
                      "5";

TEST(Conversions, FollowTheThreadsCodeSet) {
  const struct {
    std::string code_set, caller;
    std::optional<std::string> to_directory;  // nullopt: refused
    std::string directory, from_directory;
  } rows[] = {
      // clang-format off
      {"ISO-8859-1", kLatin1, kUtf8, kUtf8, kLatin1},
      {"ISO-8859-1", "CN=Ann", "CN=Ann", kUtf8 + kEuro, kLatin1 + "?5"},
      {"ISO-8859-1", "", "", "a\xFF" "b", "a?b"},  // broken UTF-8 from the directory
      {"UTF-8", kUtf8, kUtf8, kUtf8 + kEuro, kUtf8 + kEuro},
      {"UTF-8", kLatin1, std::nullopt, "", ""},      // a lone 0xFC is no UTF-8
      {"UTF-8", "\xC3", std::nullopt, "CN=Ann", "CN=Ann"},
      {"ANSI_X3.4-1968", "CN=Ann,OU=Staff", "CN=Ann,OU=Staff", "CN=Ann", "CN=Ann"},
      // clang-format on
  };
  for (const auto& row : rows) {
    ThreadLocale scope(row.code_set);
    EXPECT_EQ(to_directory(row.caller.c_str()), row.to_directory) << row.code_set << row.caller;
    EXPECT_EQ(from_directory(row.directory), row.from_directory) << row.code_set << row.directory;
  }
  EXPECT_EQ(to_directory(nullptr), std::nullopt);
}

TEST(Conversions, OfOneThreadIgnoreTheLocaleOfAnother) {
  ThreadLocale latin1("ISO-8859-1");
  std::string other;
  std::thread([&] {
    ThreadLocale utf8("UTF-8");
    other = from_directory(kUtf8);
  }).join();
  EXPECT_EQ(other, kUtf8);
  EXPECT_EQ(from_directory(kUtf8), kLatin1);
}

}  // namespace
}  // namespace txads
