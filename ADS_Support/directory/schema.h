// Attribute syntaxes from the directory's schema (attributeSyntax and
// oMSyntax of the attributeSchema objects), cached per server for the life
// of the process: the schema of a forest only grows. Thread-safe.
#pragma once

#include <string_view>

#include "directory/connection.h"
#include "directory/value.h"
#include "frame/status.h"

namespace txads::directory {

// The syntax of an attribute description's type ("userCertificate" for
// "userCertificate;binary"); kPropertyNotFound when the schema has no such
// attribute.
Status attribute_syntax(const Endpoint& endpoint, std::string_view attribute,
                        Value::Syntax& syntax);

// The syntax for a schema entry's attributeSyntax OID ("2.5.5.9"), oMSyntax
// and attribute name (GUID-valued octet strings are told by name).
Value::Syntax syntax_of(std::string_view attribute_syntax, int om_syntax,
                        std::string_view attribute);

}  // namespace txads::directory
