/* The installed headers from plain C (C99, pedantic): they compile, the libraries
 * link by their C names and the calls work. The install check's consumer too. */
#include <stdint.h>
#include <stdio.h>
#include <txads.h>
#include <zktrace.h>

int main(void) {
  char error[8] = "#######";
  if (TXADInit((HWND)(uintptr_t)0x3a00007u) != 1 || TXADInit(NULL) != 1) return 1;
  TXADSetRecursFlag(1);
  if (TXADIsContainerExist("LDAP://", error, (int)sizeof error) != -3) return 2;
  ZKTrace(6, "consumer", "installed libraries reached\n");
  return puts("consumer ok") < 0;
}
