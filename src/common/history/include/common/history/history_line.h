// One line of a history file: "<event time>,<state>,<reason>,<time text>".
// Needs nothing of the platform, so it also builds natively for fuzzing.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "common/history/history_record.h"
#include "common/win/result.h"

namespace mardonel {

// The line as the module writes it, with its CR LF. `timeText` is the event
// time as the machine's short date and hh:mm:ss, which only the platform
// knows how to write.
[[nodiscard]] std::string HistoryRecordLine(const HistoryRecord& record, std::string_view timeText);

// The record a line holds, or what is wrong with the line.
using ParsedLine = Result<HistoryRecord, const char*>;

// `line` without its line end; the time text is all after the third comma.
// A line torn by a failed write, foreign text,
// a state other than 1 or 2, an unknown reason, an event time outside the
// years 1601 to 9999, or a time text whose time of day is not the event
// time's, does not parse.
[[nodiscard]] ParsedLine ParseHistoryLine(std::string_view line);

// The two ways ParseHistoryLine reads a line, which must agree on every
// line: one pass over a line as the module writes it (false for anything
// else), then, for the lines it refuses, field by field to name the fault.
[[nodiscard]] bool ParseWrittenLine(std::string_view line, HistoryRecord& record);
[[nodiscard]] ParsedLine ParseLineByFields(std::string_view line);

}  // namespace mardonel
