#include "mp_url.h"

#include <cstdio>
#include <cstring>

namespace mardonel {

namespace {

constexpr char kPrefix[] = "http://";
constexpr char kSuffix[] = "//sms_MP//.sms_aut?MPLIST";

}  // namespace

bool BuildManagementPointUrl(char* out, std::size_t size, const char* name) {
  if (out == nullptr || size == 0) return false;
  if (name == nullptr) name = "";
  std::memset(out, 0, size);
  const std::size_t prefixLength = sizeof kPrefix - 1;
  const std::size_t suffixLength = sizeof kSuffix - 1;
  const std::size_t nameLength = std::strlen(name);
  if (nameLength >= size || prefixLength + nameLength + suffixLength >= size) return false;
  std::snprintf(out, size, "%s%s%s", kPrefix, name, kSuffix);
  return true;
}

bool IsManagementPointNameText(const char* name) {
  for (const unsigned char* cursor = reinterpret_cast<const unsigned char*>(name); *cursor != 0; ++cursor) {
    if (*cursor < 0x20 || *cursor == 0x7f) return false;
  }
  return true;
}

}  // namespace mardonel
