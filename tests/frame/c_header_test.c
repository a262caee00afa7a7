/* The installed headers from plain C (C99, pedantic, warnings as errors): they
 * compile, the libraries link by their C names, and the frame's calls work.
 * Also the consumer of the install check. Exit status 0 on success. */
#include <stdint.h>
#include <stdio.h>
#include <txads.h>
#include <zktrace.h>

int main(void) {
  char buffer[8] = "#######";
  if (TXADInit((HWND)(uintptr_t)0x3a00007u) != 1 || TXADInit(NULL) != 1) return 1;
  TXADSetRecursFlag(1);
  if (TXADIsContainerExist("LDAP://", buffer, (int)sizeof buffer) != -3) return 2;
  ZKTrace(6, "consumer", "installed libraries reached\n");
  puts("consumer ok");
  return 0;
}
