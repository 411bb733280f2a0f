#include "support/text_lines.h"

namespace mardonel {

std::vector<std::string> SplitLines(const std::string& text) {
  std::vector<std::string> lines;
  std::size_t start = 0;
  while (start < text.size()) {
    const std::size_t end = text.find("\r\n", start);
    if (end == std::string::npos) {
      lines.push_back(text.substr(start));
      break;
    }
    lines.push_back(text.substr(start, end - start));
    start = end + 2;
  }
  return lines;
}

int CountLines(const std::vector<std::string>& lines, const std::string& piece, LinePart where) {
  int count = 0;
  for (const std::string& line : lines) {
    const std::size_t at = line.find(piece);
    if (at == std::string::npos) continue;
    if (where == LinePart::kStart && line.rfind(piece, 0) != 0) continue;
    if (where == LinePart::kEnd && line.size() - line.rfind(piece) != piece.size()) continue;
    ++count;
  }
  return count;
}

}  // namespace mardonel
