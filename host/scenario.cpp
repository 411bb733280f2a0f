#include "scenario.h"

#include <sstream>

#include "common/win/file_time_units.h"

namespace mardonel {

namespace {

// FILETIME units in a millionth of an hour, the finest HOURS a scenario gives.
constexpr auto kUnitsPerMillionth = static_cast<std::int64_t>(kFileTimeUnitsPerHour / 1000000);
constexpr int kFractionDigits = 6;

// Whole and fractional digits, "12" or "1.25", into millionths. At most six
// digits either side, so every later product stays far inside 64 bits.
bool ParseMillionths(const std::string& text, std::int64_t& millionths) {
  const std::size_t dot = text.find('.');
  const std::string whole = text.substr(0, dot);
  const std::string fraction = dot == std::string::npos ? std::string() : text.substr(dot + 1);
  if (whole.empty() || whole.size() > 6 || fraction.size() > kFractionDigits) return false;
  if (dot != std::string::npos && fraction.empty()) return false;
  std::int64_t value = 0;
  for (char c : whole + fraction + std::string(kFractionDigits - fraction.size(), '0')) {
    if (c < '0' || c > '9') return false;
    value = value * 10 + (c - '0');
  }
  millionths = value;
  return true;
}

// Millionths back to the shortest decimal text: 1500000 gives "1.5".
std::string FormatMillionths(std::int64_t millionths) {
  std::string text = std::to_string(millionths / 1000000);
  std::string fraction = std::to_string(1000000 + millionths % 1000000).substr(1);
  while (!fraction.empty() && fraction.back() == '0') fraction.pop_back();
  return fraction.empty() ? text : text + "." + fraction;
}

std::string Refuse(int lineNumber, const std::string& why) { return "line " + std::to_string(lineNumber) + ": " + why; }

std::vector<std::string> WordsOf(std::string line) {
  const std::size_t comment = line.find('#');
  if (comment != std::string::npos) line.erase(comment);
  std::istringstream stream(line);
  std::vector<std::string> words;
  for (std::string word; stream >> word;) words.push_back(word);
  return words;
}

// The step of line `lineNumber`, or why the line is refused.
Result<ScenarioStep> ParseLine(const std::vector<std::string>& words, int lineNumber) {
  ScenarioStep step{ScenarioEvent::kWait, lineNumber};
  const std::string& name = words[0];
  const std::size_t extra = words.size() - 1;
  if (name == "startup" || name == "shutdown" || name == "sleep" || name == "resume") {
    step.event = name == "startup"    ? ScenarioEvent::kStartup
                 : name == "shutdown" ? ScenarioEvent::kShutdown
                 : name == "sleep"    ? ScenarioEvent::kSleep
                                      : ScenarioEvent::kResume;
    if (extra != 0) return Refusal{"'" + name + "' takes no argument"};
    return step;
  }
  if (name == "netchange") {
    step.event = ScenarioEvent::kNetChange;
    for (std::size_t i = 1; i < words.size(); ++i) {
      if (words[i] == "disconnected" && step.connected) {
        step.connected = false;
      } else if (words[i] == "force" && !step.force) {
        step.force = true;
      } else {
        return Refusal{"'netchange' takes 'disconnected' and 'force' once each, not '" + words[i] + "'"};
      }
    }
    return step;
  }
  if (name == "heartbeat") {
    step.event = ScenarioEvent::kHeartbeat;
    if (extra == 0) return step;
    if (extra > 1) return Refusal{"'heartbeat' takes one time at most"};
    const std::string& time = words[1];
    std::int64_t millionths = 0;
    if (time.size() < 2 || (time[0] != '+' && time[0] != '-') || !ParseMillionths(time.substr(1), millionths)) {
      return Refusal{"malformed time '" + words[1] + "' (want +HOURS or -HOURS, e.g. +2 or +1.5)"};
    }
    step.atOffset = true;
    step.offsetUnits = (time[0] == '-' ? -1 : 1) * millionths * kUnitsPerMillionth;
    return step;
  }
  if (name == "wait") {
    step.event = ScenarioEvent::kWait;
    if (extra != 1) return Refusal{"'wait' takes one time, e.g. wait 2"};
    std::int64_t millionths = 0;
    if (!ParseMillionths(words[1], millionths)) {
      return Refusal{"malformed time '" + words[1] + "' (want wait SECONDS, e.g. wait 2)"};
    }
    step.waitMilliseconds = static_cast<std::uint64_t>(millionths / 1000);
    return step;
  }
  return Refusal{"unknown event '" + name + "'"};
}

// The host's contract: start-up first, nothing between shut-down and the
// next start-up, and no second start-up while the module runs.
std::string CheckOrder(const ScenarioStep& step, bool& started) {
  switch (step.event) {
    case ScenarioEvent::kWait:
      return {};
    case ScenarioEvent::kStartup:
      if (started) return "'startup' while the module is already started";
      started = true;
      return {};
    case ScenarioEvent::kShutdown:
      if (!started) return "'shutdown' before 'startup'";
      started = false;
      return {};
    default: {
      if (started) return {};
      // Appended piece by piece: GCC 12 at -O3 sees an overlap that cannot
      // happen in "literal" + std::string&&.
      std::string problem = "'";
      problem += DescribeStep(step);
      problem += "' before 'startup'";
      return problem;
    }
  }
}

}  // namespace

Result<std::vector<ScenarioStep>> ParseScenario(const std::string& text) {
  std::vector<ScenarioStep> steps;
  std::istringstream stream(text);
  bool started = false;
  int lineNumber = 0;
  for (std::string line; std::getline(stream, line);) {
    ++lineNumber;
    const std::vector<std::string> words = WordsOf(line);
    if (words.empty()) continue;
    const Result<ScenarioStep> step = ParseLine(words, lineNumber);
    if (!step) return Refusal{Refuse(lineNumber, step.reason())};
    if (const std::string why = CheckOrder(*step, started); !why.empty()) return Refusal{Refuse(lineNumber, why)};
    steps.push_back(*step);
  }
  if (steps.empty()) return Refusal{"the scenario holds no event"};
  return steps;
}

std::string DescribeStep(const ScenarioStep& step) {
  switch (step.event) {
    case ScenarioEvent::kStartup:
      return "startup";
    case ScenarioEvent::kShutdown:
      return "shutdown";
    case ScenarioEvent::kSleep:
      return "sleep";
    case ScenarioEvent::kResume:
      return "resume";
    case ScenarioEvent::kNetChange:
      return std::string("netchange") + (step.connected ? "" : " disconnected") + (step.force ? " force" : "");
    case ScenarioEvent::kHeartbeat: {
      if (!step.atOffset) return "heartbeat";
      const std::int64_t millionths = step.offsetUnits / kUnitsPerMillionth;
      return std::string("heartbeat ") + (millionths < 0 ? "-" : "+") +
             FormatMillionths(millionths < 0 ? -millionths : millionths);
    }
    case ScenarioEvent::kWait:
      return "wait " + FormatMillionths(static_cast<std::int64_t>(step.waitMilliseconds) * 1000);
  }
  return {};
}

}  // namespace mardonel
