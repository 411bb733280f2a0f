#include <fcntl.h>
#include <io.h>

#include <cstdio>

#include "gmock/gmock.h"

int main(int argc, char** argv) {
  // Test discovery reads the listing through a pipe: keep bare line feeds.
  _setmode(_fileno(stdout), _O_BINARY);
  testing::InitGoogleMock(&argc, argv);
  return RUN_ALL_TESTS();
}
