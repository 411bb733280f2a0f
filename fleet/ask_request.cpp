#include "ask_request.h"

#include <algorithm>

#include "common/cli/command_line.h"
#include "report/local_days.h"

namespace mardonel::fleet {

namespace {

constexpr std::int64_t kMostDays = 9999;

Refusal<AskRefusal> Refuse(std::string error, bool usage = false) {
  return Refusal{AskRefusal{std::move(error), usage}};
}

std::string SettingNames(const Question& question) {
  if (question.settings.empty()) return "none";
  std::string names;
  for (const Setting& setting : question.settings) names += (names.empty() ? "" : ", ") + std::string(setting.name);
  return names;
}

// The value as the server is to read it.
Result<std::string> SettingValue(const Setting& setting, const std::string& word, const std::string& value) {
  if (setting.kind == SettingKind::kDays) {
    const std::optional<std::int64_t> days = ParseBoundedWhole(value, 1, kMostDays);
    if (!days) return Refusal{word + ": not a whole number of days from 1 to " + std::to_string(kMostDays)};
    return std::to_string(*days);
  }
  if (!ParseIsoDate(value)) return Refusal{word + ": not a date YYYY-MM-DD"};
  return value;
}

const Question* FindQuestion(const std::string& name) {
  const std::span<const Question> questions = Questions();
  const auto found =
      std::find_if(questions.begin(), questions.end(), [&](const Question& q) { return q.name == name; });
  return found == questions.end() ? nullptr : &*found;
}

std::optional<std::size_t> IndexOf(const Question& question, std::string_view name) {
  for (std::size_t i = 0; i < question.settings.size(); ++i) {
    if (question.settings[i].name == name) return i;
  }
  return std::nullopt;
}

using SettingValues = std::vector<std::optional<std::string>>;

// The question's settings from NAME=VALUE words, fallbacks put in.
Result<SettingValues> ReadSettings(const Question& question, const std::vector<std::string>& words, UtcDays today) {
  SettingValues values(question.settings.size());
  std::vector<bool> given(question.settings.size());
  for (const std::string& word : words) {
    const std::size_t equals = word.find('=');
    const std::string name = word.substr(0, equals);
    if (equals == std::string::npos || name.empty() ||
        !std::all_of(name.begin(), name.end(), [](char c) { return (c >= 'a' && c <= 'z') || c == '_'; })) {
      return Refusal{"not NAME=VALUE: " + word};
    }
    const std::optional<std::size_t> index = IndexOf(question, name);
    if (!index)
      return Refusal{std::string(question.name) + " has no setting " + name + " (it takes " + SettingNames(question) +
                     ")"};
    if (given[*index]) return Refusal{name + " is given twice"};
    given[*index] = true;
    Result<std::string> value = SettingValue(question.settings[*index], word, word.substr(equals + 1));
    if (!value) return Refusal{value.reason()};
    values[*index] = std::move(*value);
  }
  for (std::size_t i = 0; i < question.settings.size(); ++i) {
    const std::string_view fallback = question.settings[i].fallback;
    if (given[i] || fallback.empty()) continue;
    values[i] = fallback == "today" ? IsoDate(DateOf(today)) : std::string(fallback);
  }
  // ISO dates of four-digit years sort as the days do.
  const std::optional<std::size_t> from = IndexOf(question, "from");
  const std::optional<std::size_t> until = IndexOf(question, "until");
  if (from && until && values[*from] && values[*until] && *values[*from] > *values[*until]) {
    return Refusal{"from=" + *values[*from] + " is after until=" + *values[*until]};
  }
  return values;
}

}  // namespace

Result<AskRequest, AskRefusal> ParseAskRequest(std::span<const std::string> words, UtcDays today) {
  AskRequest request;
  std::optional<std::string> svgFile;
  bool csv = false;
  std::vector<std::string> settings;
  const std::vector<std::string> all(words.begin(), words.end());
  for (std::size_t at = 0; at < all.size(); ++at) {
    const std::string& word = all[at];
    if (IsHelpWord(word)) return Refuse("", true);
    if (word == "--csv") {
      csv = true;
    } else if (word == "--svg") {
      const Result<std::string> taken = TakeOptionValue(all, at);
      if (!taken) return Refuse(taken.reason());
      if (taken->empty()) return Refuse("--svg needs a file name");
      svgFile = *taken;
    } else if (word.starts_with("-")) {
      return Refuse(UnknownOptionError(word));
    } else if (!request.question) {
      request.question = FindQuestion(word);
      if (!request.question) return Refuse("no question '" + word + "'", true);
    } else {
      settings.push_back(word);
    }
  }
  if (!request.question) return Refuse("which question?", true);
  if (csv && svgFile) return Refuse("--csv and --svg: one or the other");
  if (svgFile) {
    if (request.question->name != "daily-share") return Refuse("--svg draws daily-share only");
    request.format = AskFormat::kSvg;
    request.svgFile = *svgFile;
  } else if (csv) {
    request.format = AskFormat::kCsv;
  }

  Result<SettingValues> values = ReadSettings(*request.question, settings, today);
  if (!values) return Refuse(values.reason());
  request.values = std::move(*values);
  return request;
}

std::string AskUsageText() {
  std::string text =
      "usage: mardonel-fleet ask [--csv | --svg FILE] QUESTION [NAME=VALUE...]; QUESTION and its settings are one "
      "of:\n";
  for (const Question& question : Questions()) {
    text += "  " + std::string(question.name);
    for (const Setting& setting : question.settings) text += " " + std::string(setting.name);
    text += "\n";
  }
  return text +
         "days is a whole number from 1 to 9999; from and until are dates YYYY-MM-DD; until defaults to today in UTC "
         "(unmanaged-machines) or every day loaded (daily-share). --svg FILE draws daily-share.\n";
}

}  // namespace mardonel::fleet
