#include "common/log/log_settings.h"

namespace mardonel {

char LogFileName[kLogFileNameSize] = "";
std::int32_t MaxLogFilesize = 1048576;
std::uint32_t Debug = 9;

}  // namespace mardonel
