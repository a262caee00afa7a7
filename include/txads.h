/*
 * txads: answers and changes from Active Directory for a host application.
 *
 * Conventions shared by every function below:
 *  1. Strings are 8-bit, NUL-terminated, in the calling thread's locale
 *     (LC_CTYPE, as set with setlocale or uselocale). The directory's own
 *     UTF-8 is converted on the way in and out.
 *  2. Every output buffer is followed by its length in bytes (an int).
 *  3. Output buffers are filled as strncpy fills them: a shorter text is
 *     padded with zero bytes up to the length; a text of length bytes or more
 *     fills the buffer with no terminating zero. Allow one byte more than the
 *     longest text you want terminated. A zero or negative length writes
 *     nothing.
 *  4. The error buffer, where a function has one, is the last pair of
 *     arguments, and receives a text only where the function says so. The
 *     text of a failed status is written as at most length - 1 bytes after
 *     the whole buffer was zero-filled, so it is always terminated (a status
 *     without a text leaves the buffer all zero). The three checks of the
 *     current user and station copy the system's text of a failed platform
 *     call by convention 3 instead: a text of length bytes or more fills the
 *     buffer with no terminating zero. A null buffer or a length of 0 or
 *     less writes nothing. The directory server's own message about a
 *     refused request goes to the trace, never to the error buffer.
 *  5. Each function returns its own result codes, listed with it.
 *  6. Any function may be called from any thread. The parent window and the
 *     recursion flag are the only values kept between calls.
 *  7. The directory is reached over LDAP with the process's Kerberos
 *     credentials (KRB5CCNAME) and OpenLDAP's client configuration
 *     (ldap.conf, LDAPURI, LDAPBASE, ...).
 *
 * Result families: membership checks 1 member / 2 not a member / -1 no
 * answer; existence checks 0 exists / -3 no such object / -1 failed.
 */
#ifndef TXADS_H
#define TXADS_H

#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

#ifndef TXADS_HWND_DEFINED
#define TXADS_HWND_DEFINED
/* A window handle: a pointer-sized value carrying an X11 window id,
 * for example (HWND)(uintptr_t)xid. Null means no window. */
typedef void* HWND;
#endif

#if defined(__GNUC__)
#define TXADS_API __attribute__((visibility("default")))
#else
#define TXADS_API
#endif

/* ---- Library frame ---------------------------------------------------- */

/* Stores the window that owns the group picker and names the trace product.
 * Returns 1. */
TXADS_API int TXADInit(HWND parent);

/* Any non-zero flag makes the group checks follow nested groups. */
TXADS_API void TXADSetRecursFlag(int flag);

/* ---- Membership checks: 1 member, 2 not a member, -1 no answer -------- */
/* On -1 the error buffer holds the text of the failure that decided it,
 * where there was one (convention 4). TXADIsCurrentUserInContainer,
 * TXADIsCurrentStationInContainer and TXADIsCurrentUserInGroup copy the
 * text of a failed identity or token call by convention 3 (not terminated
 * when it fills the buffer). Without a Kerberos ticket (no cache, or a cache
 * naming a principal and holding no ticket) the text is that of 0x80070520
 * (no logon session). */

TXADS_API int TXADIsUserInContainer(const char* account, const char* container_path,
                                    char* error, int error_length);
TXADS_API int TXADIsCurrentUserInContainer(const char* container_path, char* error,
                                           int error_length);
TXADS_API int TXADIsUserInGroup(const char* account, const char* group, char* error,
                                int error_length);
TXADS_API int TXADIsCurrentUserInGroup(const char* group, char* error, int error_length);
TXADS_API int TXADIsCurrentStationInContainer(const char* container_path, char* error,
                                              int error_length);
TXADS_API int TXADIsStationInContainer(const char* station, const char* container_path,
                                       char* error, int error_length);
TXADS_API int TXADIsStationInContainerEx(const char* station, const char* container_path,
                                         char* found_path, int found_path_length, char* error,
                                         int error_length);
TXADS_API int TXADIsStationInGroup(const char* station, const char* group, char* error,
                                   int error_length);
TXADS_API int TXADIsCurrentStationInGroup(const char* group, char* error, int error_length);

/* ---- Accounts and SIDs: 1 written, 0 not ------------------------------- */

TXADS_API int TXADGetSIDFromName(const char* account_dn, char* sid_text, int sid_text_length);
TXADS_API int TXADGetNameFromSID(const char* sid_text, char* account, int account_length,
                                 char* path, int path_length);

/* ---- Directory queries ------------------------------------------------- */

/* One attribute of the account `account` (domain\name) as text: 0 read, the
 * text copied into value by convention 3 (error untouched); -1 failed, the
 * error text in error (value untouched; "E_ADS_PROPERTY_NOT_FOUND" when the
 * account holds no value for the attribute). The text, by the attribute's
 * syntax:
 *   string          as it stands ("Ann Smith")
 *   integer         decimal ("512", "-1")
 *   large integer   decimal ("133497345678901234", e.g. pwdLastSet)
 *   boolean         "TRUE" or "FALSE"
 *   time            ISO 8601 in UTC ("2024-03-01T09:30:00Z")
 *   SID             SID text ("S-1-5-21-1004336348-1177238915-682003330-512")
 *   GUID            registry form, first three fields little-endian
 *                   ("{6F9619FF-8B86-D011-B42D-00C04FC964FF}")
 *   other binary    upper-case hexadecimal, two digits a byte ("0A1B2C")
 *   several values  each as above, joined with "; " ("Sales; Staff")
 * A distinguished name longer than 252 bytes or a text longer than 499 bytes
 * (in the caller's code set) is not cut: the call fails with -1 and the text
 * of 0x8007007A (buffer too small). A null account or attribute fails with
 * the text of 0x80070057 (parameter not correct); an empty attribute or one
 * with filter characters with "E_ADS_PROPERTY_NOT_FOUND". A value_length of
 * 0 or less writes nothing and still returns 0 when the value was read. */
TXADS_API int TXADGetValue(const char* account, const char* attribute, char* value,
                           int value_length, char* error, int error_length);
/* The groups of the account (domain\name) as domain\group names, each
 * followed by "|" ("CORP\Staff|CORP\Sales|"), appended behind the text that
 * list holds (normally empty; read no further than list_length). A name is
 * appended only while text now + name + 10 < list_length; one that does not
 * fit is left out and later ones are still tried. The primary group is not
 * listed. 0 at least one name appended; -1 none (error text only when the
 * account could not be translated or read). */
TXADS_API int TXADGetGroupList(const char* account, char* list, int list_length, char* error,
                               int error_length);
/* 0 exists, -3 no such object (or a path of 7 characters or fewer), -1 failed. */
TXADS_API int TXADIsContainerExist(const char* container_path, char* error, int error_length);
/* 0 exists, -3 no such object, -1 failed (also for an object that is no group). */
TXADS_API int TXADIsGroupExist(const char* group_path, char* error, int error_length);
/* TXADGetUserListFromContainer lists the users, and
 * TXADGetStationListFromContainer the stations (computer objects), directly
 * in a container by common name, each followed by "|" ("Ann Smith|Smith\, Bob|"; escapes in names are kept). Computers are
 * not listed as users, sub-containers are not entered. Entries are appended
 * behind the text that list holds on entry (normally empty; read no further
 * than list_length), which counts against the length: an entry goes in only
 * while that text, the entries so far and this one stay below
 * list_length - 1, so every entry written is followed by a zero byte.
 * 0 all listed; -3 nothing of the class (list unchanged); -2 an entry did not
 * fit, the list holds those before it; -1 a path of 7 characters or fewer,
 * or the container could not be bound or enumerated (list unchanged). The
 * error buffer receives a text only when the bind failed; a short path or an
 * enumeration that could not be started leaves it untouched, and so does a
 * listing that ends early on a failure after its start (its result is that
 * of the entries so far). Each element takes at least 1 ms. */
TXADS_API int TXADGetUserListFromContainer(const char* container_path, char* list,
                                           int list_length, char* error, int error_length);
TXADS_API int TXADGetStationListFromContainer(const char* container_path, char* list,
                                              int list_length, char* error, int error_length);

/* ---- Directory changes: 0 done, -1 failed ------------------------------ */
/* On -1 the error buffer holds the text of the refused step, with these
 * exceptions, which leave it untouched: TXADCreateOU and TXADDeleteOU with a
 * parent path of 7 characters or fewer; TXADCreateOU when the unit exists or
 * was made but cannot be bound as a container; TXADDeleteOU when the
 * directory refuses the deletion (a unit that still holds objects, no
 * rights). On 0 the buffer is untouched. TXADCreateOU answers 0 also for a
 * unit that exists already, TXADDeleteOU also for one that does not exist.
 * TXADAddStationToContainer answers 0 once the station was created and
 * enabled; its three later writes (userAccountControl 0x1020,
 * sAMAccountType 0x30000001, primaryGroupID 515), one attribute each, are
 * best effort: a refusal changes neither the result nor the error buffer,
 * and the server's reason is traced. */

TXADS_API int TXADCreateOU(const char* parent_path, const char* unit, char* error,
                           int error_length);
TXADS_API int TXADDeleteOU(const char* parent_path, const char* unit, char* error,
                           int error_length);
TXADS_API int TXADMoveOUToContainer(const char* unit_path, const char* destination_path,
                                    char* error, int error_length);
TXADS_API int TXADAddStationToContainer(const char* station, const char* container_path,
                                        char* error, int error_length);
TXADS_API int TXADDeleteStationFromContainer(const char* station, const char* container_path,
                                             char* error, int error_length);
TXADS_API int TXADMoveUserToContainer(const char* user, const char* current_path,
                                      const char* destination_path, char* error,
                                      int error_length);
TXADS_API int TXADMoveStationToContainer(const char* station, const char* current_path,
                                         const char* destination_path, char* error,
                                         int error_length);
TXADS_API int TXADAddStationToGroup(const char* station, const char* station_container_path,
                                    const char* group_path, char* error, int error_length);
TXADS_API int TXADDeleteStationFromGroup(const char* station, const char* station_container_path,
                                         const char* group_path, char* error, int error_length);

/* ---- Selection dialogs ------------------------------------------------- */
/* TXADGetContainer: the operator picks a container; 0 its LDAP path copied
 * into path by convention 3, 2 cancelled, -1 the dialog could not be shown
 * (path untouched). A null caption or title keeps the dialog's own.
 * TXADGetGroups: the operator picks groups, owned by the TXADInit window;
 * 0 their LDAP paths joined with ";" copied by convention 3 (not terminated
 * when they fill list_length exactly), -2 the paths are longer than
 * list_length (list untouched), -1 cancelled (error untouched) or failed
 * (the failure's text in error). */

TXADS_API int TXADGetContainer(const char* caption, const char* title, char* path,
                               int path_length);
TXADS_API int TXADGetGroups(char* list, int list_length, char* error, int error_length);

#ifdef __cplusplus
}
#endif

#endif /* TXADS_H */
