#include "common/log/log_settings.h"

char LogFileName[kLogFileNameSize] = "";
std::int32_t MaxLogFilesize = 1048576;
std::uint32_t Debug = 9;
