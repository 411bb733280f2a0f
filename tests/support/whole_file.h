// A file's content read and written whole, with the standard library rather
// than the module's code.
#pragma once

#include <string>

namespace mardonel {

std::string ReadWholeFile(const std::string& path);  // empty when it cannot be read
bool FileExists(const std::string& path);
void WriteWholeFile(const std::string& path, const std::string& content);

}  // namespace mardonel
