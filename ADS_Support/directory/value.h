// Value: an attribute's values as the directory holds them, with the syntax
// that the schema gives the attribute. Strings are UTF-8; binary values are
// raw bytes. Plain value type.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace txads::directory {

class Value {
 public:
  enum class Syntax {
    string,         // Unicode, printable, IA5, numeric strings; DN-valued too
    distinguished_name,
    integer,        // 32-bit integer (decimal text on the wire)
    large_integer,  // 64-bit integer (decimal text on the wire)
    boolean,        // "TRUE" or "FALSE" on the wire
    time,           // generalized or UTC time text
    sid,            // binary SID (objectSid)
    guid,           // 16 bytes (objectGUID)
    octets,         // any other binary value
  };

  Value() = default;
  Value(Syntax syntax, std::vector<std::string> values)
      : syntax_(syntax), values_(std::move(values)) {}

  static Value of(std::string text) { return Value(Syntax::string, {std::move(text)}); }
  static Value of(int32_t number) { return Value(Syntax::integer, {std::to_string(number)}); }

  Syntax syntax() const { return syntax_; }
  const std::vector<std::string>& values() const { return values_; }
  bool empty() const { return values_.empty(); }
  // The first value's text for string and number syntaxes.
  const std::string& first() const { return values_.front(); }

 private:
  Syntax syntax_ = Syntax::string;
  std::vector<std::string> values_;
};

}  // namespace txads::directory
