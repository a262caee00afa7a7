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
 *     arguments. An error text is always terminated and zero-filled to the
 *     buffer's length.
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

TXADS_API int TXADGetValue(const char* account, const char* attribute, char* value,
                           int value_length, char* error, int error_length);
TXADS_API int TXADGetGroupList(const char* account, char* list, int list_length, char* error,
                               int error_length);
/* 0 exists, -3 no such object (or a path of 7 characters or fewer), -1 failed. */
TXADS_API int TXADIsContainerExist(const char* container_path, char* error, int error_length);
/* 0 exists, -3 no such object, -1 failed (also for an object that is no group). */
TXADS_API int TXADIsGroupExist(const char* group_path, char* error, int error_length);
TXADS_API int TXADGetUserListFromContainer(const char* container_path, char* list,
                                           int list_length, char* error, int error_length);
TXADS_API int TXADGetStationListFromContainer(const char* container_path, char* list,
                                              int list_length, char* error, int error_length);

/* ---- Directory changes: 0 done, -1 failed ------------------------------ */

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

TXADS_API int TXADGetContainer(const char* caption, const char* title, char* path,
                               int path_length);
TXADS_API int TXADGetGroups(char* list, int list_length, char* error, int error_length);

#ifdef __cplusplus
}
#endif

#endif /* TXADS_H */
