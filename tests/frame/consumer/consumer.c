/* A program outside the project that uses an installed txads: it includes
 * the installed headers, links the installed libraries and calls them. */
#include <stdio.h>
#include <txads.h>
#include <zktrace.h>

int main(void) {
  if (TXADInit(NULL) != 1) return 1;
  TXADSetRecursFlag(0);
  ZKTrace(6, "consumer", "installed libraries reached\n");
  puts("consumer ok");
  return 0;
}
