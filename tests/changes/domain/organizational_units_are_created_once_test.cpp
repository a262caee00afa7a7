// TXADCreateOU creates OU=<name> below a parent once: a unit that exists
// already counts as created and is not written to.
#include <gtest/gtest.h>

#include <locale.h>
#include <clocale>

#include "change_checks.h"
#include "support/scratch_ou.h"
#include "txads.h"

namespace changes_test {
namespace {

using txads_test::attribute_values;
using txads_test::ScratchOu;

TEST(OrganizationalUnitsAreCreatedOnce, ASecondCreateFindsTheUnitAndWritesNothing) {
  ScratchOu ou("chg-ou");
  const std::string unit = "OU=Sales," + ou.dn();
  const Picture empty = picture(ou.dn());

  ErrorBuffer first;
  EXPECT_EQ(TXADCreateOU(ou.path().c_str(), "Sales", first.data(), first.length()), 0);
  EXPECT_TRUE(first.untouched()) << first.text();
  const Picture created = picture(ou.dn());
  EXPECT_EQ(added(empty, created), unit);
  EXPECT_EQ(changed(empty, created), "");
  EXPECT_EQ(attribute_values(unit, "objectClass").back(), "organizationalUnit");

  ErrorBuffer second;
  EXPECT_EQ(TXADCreateOU(ou.path().c_str(), "Sales", second.data(), second.length()), 0);
  EXPECT_TRUE(second.untouched()) << second.text();
  EXPECT_EQ(picture(ou.dn()), created);
}

TEST(OrganizationalUnitsAreCreatedOnce, AParentPathOfSevenBytesOrFewerIsRefusedUntouched) {
  ScratchOu ou("chg-ou");
  const Picture before = picture(ou.dn());
  for (const char* parent : {"LDAP://", "LDAP:/", "", static_cast<const char*>(nullptr)}) {
    ErrorBuffer error;
    EXPECT_EQ(TXADCreateOU(parent, "Sales", error.data(), error.length()), -1)
        << (parent ? parent : "(null)");
    EXPECT_TRUE(error.untouched()) << error.text();
  }
  EXPECT_EQ(picture(ou.dn()), before);
}

TEST(OrganizationalUnitsAreCreatedOnce, AParentThatCannotBeBoundIsReportedWithTheBindsText) {
  ScratchOu ou("chg-ou");
  const Picture before = picture(ou.dn());
  const std::string missing = "LDAP://OU=Missing," + ou.dn();
  ErrorBuffer error;
  EXPECT_EQ(TXADCreateOU(missing.c_str(), "Sales", error.data(), error.length()), -1);
  EXPECT_EQ(error.text(), text_of(txads::kNoSuchObject));
  EXPECT_EQ(picture(ou.dn()), before);
}

TEST(OrganizationalUnitsAreCreatedOnce, NamesOfUpTo296BytesAreCreatedWhole) {
  ScratchOu ou("chg-ou");
  const std::string longest(296, 'u');
  ErrorBuffer error;
  EXPECT_EQ(TXADCreateOU(ou.path().c_str(), longest.c_str(), error.data(), error.length()), 0);
  EXPECT_TRUE(error.untouched()) << error.text();
  EXPECT_EQ(attribute_values("OU=" + longest + "," + ou.dn(), "ou"),
            std::vector<std::string>{longest});

  const Picture before = picture(ou.dn());
  const std::string too_long(297, 'u');
  ErrorBuffer refused;
  EXPECT_EQ(TXADCreateOU(ou.path().c_str(), too_long.c_str(), refused.data(), refused.length()),
            -1);
  EXPECT_EQ(refused.text(), text_of(txads::kInvalidArg));
  EXPECT_EQ(picture(ou.dn()), before);
}

TEST(OrganizationalUnitsAreCreatedOnce, NamesInTheCallersCodeSetArriveAsTheirLetters) {
  ScratchOu ou("chg-ou");
  ErrorBuffer utf8;  // the "C" locale passes UTF-8 through
  EXPECT_EQ(TXADCreateOU(ou.path().c_str(), "B\xC3\xBCro", utf8.data(), utf8.length()), 0);
  EXPECT_EQ(attribute_values("OU=B\xC3\xBCro," + ou.dn(), "ou"),
            std::vector<std::string>{"B\xC3\xBCro"});

  locale_t latin1 = newlocale(LC_CTYPE_MASK, "de_DE.iso88591", nullptr);
  ASSERT_NE(latin1, nullptr) << "locale de_DE.iso88591";
  const locale_t previous = uselocale(latin1);
  ErrorBuffer latin;
  const int result = TXADCreateOU(ou.path().c_str(),
                                  "Pr\xFC"
                                  "fstand",
                                  latin.data(), latin.length());
  uselocale(previous);
  freelocale(latin1);
  EXPECT_EQ(result, 0) << latin.text();
  EXPECT_TRUE(
      txads_test::object_exists("OU=Pr\xC3\xBC"
                                "fstand," +
                                ou.dn()));
}

}  // namespace
}  // namespace changes_test
