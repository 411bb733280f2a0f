#include "module/dotted_address.h"

std::uint32_t ParseDottedAddress(const char*) { return 0; }

char* FormatDottedAddress(char* buffer, std::size_t, std::uint32_t) { return buffer; }
