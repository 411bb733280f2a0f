// A picture written whole or not at all: into a part file beside its name,
// then renamed over it.
#pragma once

#include <string>

namespace mardonel::fleet {

// Empty when `path` may be written (its folder exists and may be written
// in, and it is not a folder itself); otherwise why not, in words.
[[nodiscard]] std::string PictureFileProblem(const std::string& path);

// Writes `content` to `path`, readable by all as a document is; empty, or
// why it could not (the part file is then gone and `path` as it was).
[[nodiscard]] std::string WritePictureFile(const std::string& path, const std::string& content);

}  // namespace mardonel::fleet
