#include <windows.h>

#include <fcntl.h>
#include <io.h>

#include <cstdio>
#include <cstdlib>

#include "common/log/log_settings.h"
#include "gmock/gmock.h"

namespace mardonel {

int Main(int argc, char** argv) {
  // Test discovery reads the listing through a pipe: keep bare line feeds.
  _setmode(_fileno(stdout), _O_BINARY);
  // Records of a test that does not capture the log stay out of C:\temp.
  LogSettings consoleOnly;
  std::snprintf(consoleOnly.fileName, sizeof consoleOnly.fileName, "-");
  SetLogSettings(consoleOnly);
  // Tests of the default log name write into C:\temp, which the library
  // creates when missing: a folder this run made goes with it when empty.
  const bool hadTempFolder = GetFileAttributesA("C:\\temp") != INVALID_FILE_ATTRIBUTES;
  // A zone Wine did not take would leave the run in UTC, passing unseen.
  TIME_ZONE_INFORMATION zone;
  if (std::getenv("MARDONEL_TEST_ZONE") != nullptr && GetTimeZoneInformation(&zone) != TIME_ZONE_ID_INVALID &&
      zone.Bias == 0) {
    std::fprintf(stderr, "the zone %s is not in force\n", std::getenv("MARDONEL_TEST_ZONE"));
    return 1;
  }
  testing::InitGoogleMock(&argc, argv);
  const int result = RUN_ALL_TESTS();
  if (!hadTempFolder) RemoveDirectoryA("C:\\temp");
  return result;
}

}  // namespace mardonel

int main(int argc, char** argv) { return mardonel::Main(argc, argv); }
