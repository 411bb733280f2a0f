#include "common/log/error_text.h"

#include <cstdio>

const char* ErrorText(DWORD code) {
  static char text[1024];
  if (code == 0) code = GetLastError();
  std::snprintf(text, sizeof text, "Error 0x%08lx", static_cast<unsigned long>(code));
  return text;
}

std::string ErrorMessage(DWORD code) {
  char text[260];
  std::snprintf(text, sizeof text, "Error 0x%08lx", static_cast<unsigned long>(code));
  return text;
}
