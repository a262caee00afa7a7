// Test support for the queries against the test domain: a scratch
// organisational unit per test whose entries are written with one ldapadd
// (the names, searches and tools are support/domain.h's), never with the code
// under test; and caller buffers with guard bytes. Not thread-safe.
#pragma once

#include <string>
#include <vector>

namespace queries_test {

// The library's error texts for the codes these tests meet.
inline const std::string kInvalidParameterText =  // 0x80070057
    "One of the parameters given is not correct.\n";
inline const std::string kBufferTooSmallText =  // 0x8007007A
    "The buffer given is too small to hold the result.\n";
inline const std::string kNoSuchObjectText =  // 0x80072030
    "The directory holds no object with that name.\n";
inline const std::string kNameNotFoundText =  // 0x80072116, from the name translation
    "The name was not found, or the caller may not see it.\n";

// A uniquely named OU directly below the domain, removed with everything in
// it when the object goes.
class ScratchOu {
 public:
  ScratchOu();
  ~ScratchOu();
  ScratchOu(const ScratchOu&) = delete;
  ScratchOu& operator=(const ScratchOu&) = delete;

  const std::string& dn() const { return dn_; }
  // "LDAP://" + the unit's DN, or + dn for an object inside it.
  std::string path() const { return path_of(dn_); }
  std::string path_of(const std::string& dn) const;
  // Account names are this prefix + a short name, unique across the domain.
  const std::string& tag() const { return tag_; }

  // Each adds one object below `parent` (the scratch OU when empty) and
  // returns its DN; `rdn_value` is written as in a DN ("Smith\, John").
  // `extra` holds more LDIF lines ("description: x\n"). The entries are
  // written with one ldapadd when the unit is next used (path, account_name
  // or flush); a failure is a test failure.
  std::string add_user(const std::string& rdn_value, const std::string& account,
                       const std::string& extra = "", const std::string& parent = "");
  std::string add_computer(const std::string& rdn_value, const std::string& parent = "");
  std::string add_ou(const std::string& name, const std::string& parent = "");
  std::string add_group(const std::string& rdn_value, const std::string& account,
                        const std::vector<std::string>& member_dns);
  std::string add_entry(const std::string& rdn, const std::string& object_class,
                        const std::string& extra = "", const std::string& parent = "");
  // Adds LDIF entries (separated by blank lines).
  void add_ldif(const std::string& ldif);
  // Writes the entries added so far.
  void flush() const;

  // "CORP\" + tag + account.
  std::string account_name(const std::string& account) const;

 private:
  std::string dn_;
  std::string tag_;
  mutable std::string pending_;
};

// The entries of a "|"-terminated list, sorted; a list whose text does not
// end in "|" is a test failure.
std::vector<std::string> sorted_entries(const std::string& list);

// A caller buffer of `length` bytes pre-filled with `fill`, followed by
// guard bytes that a call must never change.
class Guarded {
 public:
  explicit Guarded(int length, char fill = '\0');
  char* data() { return bytes_.data(); }
  int length() const { return length_; }
  // The caller's bytes, all of them (zeros included).
  std::string bytes() const;
  // The text up to the first zero byte or the length.
  std::string text() const;
  bool guards_intact() const;
  // Puts a text at the start (with its zero byte when it fits).
  void put(const std::string& text);

 private:
  int length_;
  std::string bytes_;
};

}  // namespace queries_test
