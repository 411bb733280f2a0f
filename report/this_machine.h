// What the report needs to know of the machine it runs on.
#pragma once

#include <cstdint>
#include <string>

namespace mardonel {

// The machine's fully qualified DNS name in UTF-8; its NetBIOS name when it
// has none.
std::string ComputerDnsName();

// The local wall-clock time now, in seconds since 1601 on the records' clock.
std::int64_t LocalNowSecond();

}  // namespace mardonel
