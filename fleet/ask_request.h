// The command line of `mardonel-fleet ask`, checked whole before the
// database is asked. Needs nothing of the platform.
#pragma once

#include <optional>
#include <span>
#include <string>
#include <vector>

#include "common/time/time_points.h"
#include "common/win/result.h"
#include "questions.h"

namespace mardonel::fleet {

enum class AskFormat { kTable, kCsv, kSvg };

struct AskRequest {
  const Question* question = nullptr;
  // One per setting of the question, in its order: the value given or the
  // fallback; nothing for no bound.
  std::vector<std::optional<std::string>> values;
  AskFormat format = AskFormat::kTable;
  std::string svgFile;
};

// Why a command line is refused.
struct AskRefusal {
  std::string error;   // empty when the usage text alone tells it (help asked for)
  bool usage = false;  // the error is best told with the usage text
};

// `words` after "ask"; `today` is today in UTC.
[[nodiscard]] Result<AskRequest, AskRefusal> ParseAskRequest(std::span<const std::string> words, UtcDays today);

// The questions and their settings, for the usage text.
[[nodiscard]] std::string AskUsageText();

}  // namespace mardonel::fleet
