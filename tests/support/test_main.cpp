#include <fcntl.h>
#include <io.h>

#include <cstdio>

#include "common/log/log_settings.h"
#include "gmock/gmock.h"

int main(int argc, char** argv) {
  // Test discovery reads the listing through a pipe: keep bare line feeds.
  _setmode(_fileno(stdout), _O_BINARY);
  // Records of a test that does not capture the log stay out of C:\temp.
  std::snprintf(LogFileName, sizeof LogFileName, "-");
  testing::InitGoogleMock(&argc, argv);
  return RUN_ALL_TESTS();
}
