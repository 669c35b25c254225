/* A C99 host program: includes orv/orv.h (built with -std=c99 -Wall -Werror)
 * and drives liborv.so through the exports. Exit status 0 on success. */
#include <stdio.h>
#include <string.h>

#include "orv/orv.h"
#include "orv/orv_ext.h" /* compiles as C99 as well */

static int failures = 0;

static void expect(int ok, const char* what) {
  if (!ok) {
    fprintf(stderr, "FAILED: %s\n", what);
    ++failures;
  }
}

int main(void) {
  OrvHandle h = NULL;
  int32_t value = 42;
  int16_t flag = 7;
  char text[ORV_OPTION_TEXT_SIZE];
  OrvUSMParameters usm;
  OrvTonerInfo toner;

  expect(OrvInit(NULL) == ORV_ERR_INVALID_ARG, "OrvInit(NULL) gives -2");
  expect(OrvInit(&h) == ORV_OK && h != NULL, "OrvInit makes a handle");
  expect(OrvCommandString(h, "CmdSetCommunityGetOption", "public") == ORV_OK,
         "CmdSetCommunityGetOption");
  expect(OrvGetOptionValueInteger(h, "MemorySizeInKByte", 0, &value) == ORV_ERR_NO_DEVICE,
         "option before open gives -8");
  /* An IPv6 address opened as IPv4 is refused before any traffic; the option
   * object stays and answers from its cleared store. */
  expect(OrvInitDevice(h, "::1", ORV_PROTOCOL_IPV4, 1000, 1) == ORV_ERR_INVALID_ARG,
         "OrvInitDevice with an address of another family gives -2");
  expect(OrvGetOptionValueInteger(h, "MemorySizeInMByte", 0, &value) == ORV_OK && value == 0,
         "cleared MemorySizeInMByte");
  expect(OrvGetOptionValueBoolean(h, "HardDisk", 0, &flag) == ORV_OK && flag == 0,
         "cleared HardDisk");
  text[0] = 'x';
  expect(OrvGetOptionValueString(h, "SysName", 0, text) == ORV_OK && text[0] == '\0',
         "cleared SysName");
  expect(OrvGetOptionValueString(h, "InputTrayName", 0, text) == ORV_ERR_INDEX_RANGE,
         "no input tray gives -11");
  expect(OrvGetTonerInfo(h, 0, &toner) == ORV_ERR_NO_DEVICE,
         "no status reader after a failed open gives -8");
  memset(&usm, 0, sizeof usm);
  strcpy(usm.user_name, "operator");
  usm.security_level = 2;
  expect(OrvInitDeviceEx(h, "127.0.0.1", ORV_PROTOCOL_IPV6, ORV_SECURITY_USM, &usm, 500, 0) ==
             ORV_ERR_INVALID_ARG,
         "OrvInitDeviceEx with an IPv4 address over IPv6 gives -2");
  expect(OrvTransportAvailable(ORV_PROTOCOL_NONE) == 0, "no transport for protocol 3");
  OrvUnInit(h);
  OrvUnInit(NULL);

  if (failures == 0) printf("c99 host: all checks passed\n");
  return failures == 0 ? 0 : 1;
}
