// The message table: our own English text for each Win32 code the library
// can produce, sorted by code (a test checks the order) and searched by
// binary search. Constant data; the test seam is one atomic pointer.
#include "frame/system_messages.h"

#include <algorithm>
#include <atomic>
#include <iterator>

#include "frame/win32_errors.h"

namespace txads {
namespace {

using namespace win32;

constexpr SystemMessage kMessages[] = {
    {ERROR_FILE_NOT_FOUND, "The file named could not be found.\n"},
    {ERROR_ACCESS_DENIED, "Access to the object was refused.\n"},
    {ERROR_INVALID_HANDLE, "The handle given does not name a usable token.\n"},
    {ERROR_NOT_ENOUGH_MEMORY, "There was not enough memory to carry out the command.\n"},
    {ERROR_INVALID_DATA, "The data given is not valid.\n"},
    {ERROR_OUTOFMEMORY, "Memory ran out before the operation could be completed.\n"},
    {ERROR_NOT_SUPPORTED, "This request is not supported here.\n"},
    {ERROR_INVALID_PARAMETER, "One of the parameters given is not correct.\n"},
    {ERROR_BUFFER_OVERFLOW, "The name is longer than the buffer given for it.\n"},
    {ERROR_INSUFFICIENT_BUFFER, "The buffer given is too small to hold the result.\n"},
    {ERROR_INVALID_NAME, "The name given is not written in a valid form.\n"},
    {ERROR_MORE_DATA, "More data is available than the buffer could take.\n"},
    {ERROR_PROCESS_ABORTED, "The process ended unexpectedly before it had finished.\n"},
    {ERROR_NOT_FOUND, "The element asked for could not be found.\n"},
    {ERROR_CANCELLED, "The operation was cancelled by the user.\n"},
    {ERROR_CONNECTION_REFUSED, "The remote computer refused the network connection.\n"},
    {ERROR_NETWORK_UNREACHABLE, "The remote network cannot be reached.\n"},
    {ERROR_HOST_UNREACHABLE, "The remote computer cannot be reached.\n"},
    {ERROR_REVISION_MISMATCH, "Two parts of the program use revisions that do not match.\n"},
    {ERROR_NO_LOGON_SERVERS, "No logon server is available to handle the request.\n"},
    {ERROR_NO_SUCH_LOGON_SESSION,
     "There is no logon session for the caller: no Kerberos credential cache was found.\n"},
    {ERROR_NO_SUCH_USER, "The user account named does not exist.\n"},
    {ERROR_LOGON_FAILURE, "The logon failed because the user name or password is wrong.\n"},
    {ERROR_NONE_MAPPED, "None of the account names could be mapped to a security ID.\n"},
    {ERROR_INVALID_SID, "The security ID is not written in a valid form.\n"},
    {ERROR_NO_SUCH_DOMAIN, "The domain named does not exist or cannot be contacted.\n"},
    {ERROR_INTERNAL_ERROR, "An internal error stopped the operation.\n"},
    {ERROR_WRONG_TARGET_NAME, "The server's principal name is not known to the Kerberos realm.\n"},
    {ERROR_TIME_SKEW, "The clocks of this computer and the domain controller differ too much.\n"},
    {ERROR_INVALID_WINDOW_HANDLE, "The window handle does not name a usable window.\n"},
    {ERROR_REQUIRES_INTERACTIVE_WINDOWSTATION, "No display is available to show the window on.\n"},
    {ERROR_TIMEOUT, "The operation did not finish in the time allowed.\n"},
    {ERROR_NO_TRUST_SAM_ACCOUNT,
     "The directory holds no computer account for this computer's name.\n"},
    {ERROR_DOMAIN_CONTROLLER_NOT_FOUND, "No domain controller could be found for the domain.\n"},
    {ERROR_CONTEXT_EXPIRED, "The Kerberos ticket has expired and must be renewed.\n"},
    {ERROR_OBJECT_ALREADY_EXISTS, "An object of that name exists already.\n"},
    {ERROR_DS_NO_ATTRIBUTE_OR_VALUE, "The object holds no such attribute or value.\n"},
    {ERROR_DS_INVALID_ATTRIBUTE_SYNTAX, "The attribute value has the wrong syntax.\n"},
    {ERROR_DS_ATTRIBUTE_TYPE_UNDEFINED, "The directory schema defines no such attribute.\n"},
    {ERROR_DS_ATTRIBUTE_OR_VALUE_EXISTS, "The attribute or value is present already.\n"},
    {ERROR_DS_BUSY, "The directory server is too busy to handle the request now.\n"},
    {ERROR_DS_UNAVAILABLE, "The directory server is not available.\n"},
    {ERROR_DS_OBJ_CLASS_VIOLATION, "The change would break the rules of the object's class.\n"},
    {ERROR_DS_CANT_ON_NON_LEAF,
     "The operation is not allowed on an object that still has children.\n"},
    {ERROR_DS_CANT_ON_RDN, "The attribute that names the object cannot be changed this way.\n"},
    {ERROR_DS_CANT_MOD_OBJ_CLASS, "The class of an existing object cannot be changed.\n"},
    {ERROR_DS_OPERATIONS_ERROR,
     "The directory server met an error while working on the request.\n"},
    {ERROR_DS_PROTOCOL_ERROR, "The directory server received a request it could not understand.\n"},
    {ERROR_DS_TIMELIMIT_EXCEEDED, "The directory search ran out of time.\n"},
    {ERROR_DS_SIZELIMIT_EXCEEDED, "The directory search found more entries than allowed.\n"},
    {ERROR_DS_ADMIN_LIMIT_EXCEEDED, "The request went beyond a limit set by the administrator.\n"},
    {ERROR_DS_COMPARE_FALSE, "The compared value does not match the stored one.\n"},
    {ERROR_DS_COMPARE_TRUE, "The compared value matches the stored one.\n"},
    {ERROR_DS_AUTH_METHOD_NOT_SUPPORTED,
     "The directory server does not support the authentication method.\n"},
    {ERROR_DS_STRONG_AUTH_REQUIRED, "The directory server asks for stronger authentication.\n"},
    {ERROR_DS_INAPPROPRIATE_AUTH, "The authentication used is not suited to this request.\n"},
    {ERROR_DS_AUTH_UNKNOWN, "The authentication mechanism is not known to the server.\n"},
    {ERROR_DS_REFERRAL, "The object lives on another directory server (a referral came back).\n"},
    {ERROR_DS_UNAVAILABLE_CRIT_EXTENSION,
     "The directory server cannot honour a control marked critical.\n"},
    {ERROR_DS_CONFIDENTIALITY_REQUIRED, "The directory server requires an encrypted session.\n"},
    {ERROR_DS_INAPPROPRIATE_MATCHING, "The attribute cannot be matched in the way asked.\n"},
    {ERROR_DS_CONSTRAINT_VIOLATION, "The value breaks a constraint set by the directory.\n"},
    {ERROR_DS_NO_SUCH_OBJECT, "The directory holds no object with that name.\n"},
    {ERROR_DS_ALIAS_PROBLEM, "An alias in the name could not be followed.\n"},
    {ERROR_DS_INVALID_DN_SYNTAX, "The distinguished name is not written in a valid form.\n"},
    {ERROR_DS_IS_LEAF, "The object is a leaf and cannot hold children.\n"},
    {ERROR_DS_ALIAS_DEREF_PROBLEM, "An alias could not be resolved to its object.\n"},
    {ERROR_DS_UNWILLING_TO_PERFORM, "The directory server refused to carry out the request.\n"},
    {ERROR_DS_LOOP_DETECT, "The directory server found a loop while handling the request.\n"},
    {ERROR_DS_NAMING_VIOLATION, "The name breaks the naming rules of the directory.\n"},
    {ERROR_DS_OBJECT_RESULTS_TOO_LARGE, "The result set is too large for the server to return.\n"},
    {ERROR_DS_AFFECTS_MULTIPLE_DSAS, "The request would reach across several directory servers.\n"},
    {ERROR_DS_SERVER_DOWN, "The directory server cannot be reached.\n"},
    {ERROR_DS_LOCAL_ERROR, "The directory client met an error of its own.\n"},
    {ERROR_DS_ENCODING_ERROR, "The directory request could not be encoded.\n"},
    {ERROR_DS_DECODING_ERROR, "The directory server's answer could not be decoded.\n"},
    {ERROR_DS_FILTER_UNKNOWN, "The search filter is not understood.\n"},
    {ERROR_DS_PARAM_ERROR, "A directory call was given a bad parameter.\n"},
    {ERROR_DS_NOT_SUPPORTED, "The directory client does not support this feature.\n"},
    {ERROR_DS_NO_RESULTS_RETURNED, "The directory server returned no results.\n"},
    {ERROR_DS_CONTROL_NOT_FOUND, "The control asked for is missing from the answer.\n"},
    {ERROR_DS_CLIENT_LOOP, "The directory client detected a loop among referrals.\n"},
    {ERROR_DS_REFERRAL_LIMIT_EXCEEDED, "Too many referrals were followed for one request.\n"},
    {ERROR_DS_SORT_CONTROL_MISSING,
     "The directory server needs a sort control for this request.\n"},
    {ERROR_DS_OFFSET_RANGE_ERROR, "The offset asked for lies outside the sorted results.\n"},
    {ERROR_DS_GENERIC_ERROR, "The directory reported an error without details.\n"},
    {ERROR_DS_INSUFF_ACCESS_RIGHTS, "The caller lacks the rights for this directory operation.\n"},
    {ERROR_DS_NAME_ERROR_RESOLVING, "The name could not be translated because of an error.\n"},
    {ERROR_DS_NAME_ERROR_NOT_FOUND, "The name was not found, or the caller may not see it.\n"},
    {ERROR_DS_NAME_ERROR_NOT_UNIQUE, "The name matches more than one object.\n"},
    {ERROR_DS_NAME_ERROR_NO_MAPPING, "The name was found but has no form of the kind asked.\n"},
    {ERROR_DS_NAME_ERROR_DOMAIN_ONLY, "Only the domain of the name could be determined.\n"},
};

const char* table_lookup(uint32_t code) {
  auto it = std::lower_bound(std::begin(kMessages), std::end(kMessages), code,
                             [](const SystemMessage& m, uint32_t c) { return m.code < c; });
  return it != std::end(kMessages) && it->code == code ? it->text : "";
}

std::atomic<testing::MessageLookup> lookup{&table_lookup};

}  // namespace

const char* system_message(uint32_t code) {
  if (((code >> 16) & 0x1FFFu) == 7) code &= 0xFFFFu;
  const char* text = lookup.load(std::memory_order_acquire)(code);
  return text != nullptr ? text : "";
}

const SystemMessage* system_messages_begin() {
  return std::begin(kMessages);
}
const SystemMessage* system_messages_end() {
  return std::end(kMessages);
}

namespace testing {
MessageLookup replace_system_messages(MessageLookup replacement) {
  return lookup.exchange(replacement != nullptr ? replacement : &table_lookup);
}
}  // namespace testing

}  // namespace txads
