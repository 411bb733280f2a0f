// Any name, with any buffer size, leaves the address inside its buffer:
// either the whole address or an empty text.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

#include "mp_url.h"

namespace mardonel {

int FuzzOne(const std::uint8_t* data, std::size_t size) {
  if (size < 1) return 0;
  const std::size_t bufferSize = data[0] % 2 == 0 ? kManagementPointUrlSize : data[0];
  const std::string name(reinterpret_cast<const char*>(data + 1), size - 1);
  std::string buffer(bufferSize + 8, '\x5a');
  const bool built = BuildManagementPointUrl(buffer.data(), bufferSize, name.c_str());

  for (std::size_t guard = bufferSize; guard < buffer.size(); ++guard) {
    if (buffer[guard] != '\x5a') std::abort();
  }
  const std::string expected = "http://" + std::string(name.c_str()) + "//sms_MP//.sms_aut?MPLIST";
  if (built != (expected.size() < bufferSize)) std::abort();
  if (built && expected != buffer.c_str()) std::abort();
  if (!built && bufferSize > 0 && buffer[0] != '\0') std::abort();
  return 0;
}

}  // namespace mardonel

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  return mardonel::FuzzOne(data, size);
}
