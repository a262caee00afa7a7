/* include/txads.h from plain C (C99, pedantic, warnings as errors): every
 * declaration compiles, the library links, and the two frame functions work.
 * Exit status 0 on success, else the number of the failed check. */
#include "txads.h"

#include <stdint.h>
#include <stdio.h>

/* Each call below sits inside sizeof, so it is type-checked against its
 * declaration without being made (or linked). */
static size_t declarations_compile(void) {
  char b[8];
  const char* s = "";
  return sizeof(TXADIsUserInContainer(s, s, b, 8)) + sizeof(TXADIsCurrentUserInContainer(s, b, 8)) +
         sizeof(TXADIsUserInGroup(s, s, b, 8)) + sizeof(TXADIsCurrentUserInGroup(s, b, 8)) +
         sizeof(TXADIsCurrentStationInContainer(s, b, 8)) +
         sizeof(TXADIsStationInContainer(s, s, b, 8)) +
         sizeof(TXADIsStationInContainerEx(s, s, b, 8, b, 8)) +
         sizeof(TXADIsStationInGroup(s, s, b, 8)) + sizeof(TXADIsCurrentStationInGroup(s, b, 8)) +
         sizeof(TXADGetSIDFromName(s, b, 8)) + sizeof(TXADGetNameFromSID(s, b, 8, b, 8)) +
         sizeof(TXADGetValue(s, s, b, 8, b, 8)) + sizeof(TXADGetGroupList(s, b, 8, b, 8)) +
         sizeof(TXADIsContainerExist(s, b, 8)) + sizeof(TXADIsGroupExist(s, b, 8)) +
         sizeof(TXADGetUserListFromContainer(s, b, 8, b, 8)) +
         sizeof(TXADGetStationListFromContainer(s, b, 8, b, 8)) + sizeof(TXADCreateOU(s, s, b, 8)) +
         sizeof(TXADDeleteOU(s, s, b, 8)) + sizeof(TXADMoveOUToContainer(s, s, b, 8)) +
         sizeof(TXADAddStationToContainer(s, s, b, 8)) +
         sizeof(TXADDeleteStationFromContainer(s, s, b, 8)) +
         sizeof(TXADMoveUserToContainer(s, s, s, b, 8)) +
         sizeof(TXADMoveStationToContainer(s, s, s, b, 8)) +
         sizeof(TXADAddStationToGroup(s, s, s, b, 8)) +
         sizeof(TXADDeleteStationFromGroup(s, s, s, b, 8)) + sizeof(TXADGetContainer(s, s, b, 8)) +
         sizeof(TXADGetGroups(b, 8, b, 8)) + sizeof(TXADInit(NULL));
}

int main(void) {
  if (declarations_compile() != 29 * sizeof(int)) return 1;
  if (TXADInit(NULL) != 1) return 2;
  if (TXADInit((HWND)(uintptr_t)0x3a00007u) != 1) return 3;
  TXADSetRecursFlag(1);
  TXADSetRecursFlag(0);
  puts("txads.h works from C");
  return 0;
}
