#include "report/report_csv.h"

#include "common/cli/utf8.h"
#include "report/local_days.h"

namespace mardonel {

namespace {

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// Characters of valid UTF-8 text; nothing when it is not UTF-8.
std::optional<std::size_t> Utf8Characters(std::string_view text) {
  std::size_t characters = 0;
  for (std::size_t i = 0; i < text.size(); ++characters) {
    const std::size_t length = Utf8SequenceLength(text, i);
    if (length == 0) return std::nullopt;
    i += length;
  }
  return characters;
}

std::optional<std::int32_t> ParseCount(std::string_view text) {
  if (text.empty() || text.size() > 10) return std::nullopt;
  std::int64_t value = 0;
  for (char c : text) {
    if (!IsDigit(c)) return std::nullopt;
    value = value * 10 + (c - '0');
  }
  if (value > INT32_MAX) return std::nullopt;
  return static_cast<std::int32_t>(value);
}

// "YYYY-MM-DDThh:mm:ss" as a local reading; nothing for anything else. The
// date is as a rule the row's own, `rowDate` of day `rowDay`, read once.
std::optional<LocalSeconds> ParseLocalTime(std::string_view text, std::string_view rowDate, LocalDays rowDay) {
  if (text.size() != 19 || text[10] != 'T' || text[13] != ':' || text[16] != ':') return std::nullopt;
  LocalDays day = rowDay;
  if (text.substr(0, 10) != rowDate) {
    const std::optional<CalendarDate> date = ParseIsoDate(text.substr(0, 10));
    if (!date) return std::nullopt;
    day = DayOf<LocalClock>(*date);
  }
  int parts[3] = {};
  const int highest[3] = {23, 59, 59};
  for (int part = 0; part < 3; ++part) {
    const char tens = text[11 + part * 3];
    const char ones = text[12 + part * 3];
    if (!IsDigit(tens) || !IsDigit(ones)) return std::nullopt;
    parts[part] = (tens - '0') * 10 + (ones - '0');
    if (parts[part] > highest[part]) return std::nullopt;
  }
  return day + std::chrono::hours(parts[0]) + std::chrono::minutes(parts[1]) + std::chrono::seconds(parts[2]);
}

std::string CheckRow(const std::array<std::string, 9>& fields, ReportCsvRow& row) {
  row.computer = fields[0];
  if (row.computer.empty()) return "the computer's name is empty";
  const std::optional<std::size_t> characters = Utf8Characters(row.computer);
  if (!characters) return "the computer's name is not UTF-8";
  if (*characters > kReportCsvComputerMaxCharacters) return "the computer's name is longer than 255 characters";
  const std::optional<CalendarDate> date = ParseIsoDate(fields[1]);
  if (!date) {
    const bool shaped = fields[1].size() == 10 && fields[1][4] == '-' && fields[1][7] == '-' &&
                        fields[1].find_first_not_of("0123456789-") == std::string::npos;
    return shaped && fields[1] < "1601" ? "date before 1601-01-01, the report's earliest day: " + fields[1]
                                        : "date is not YYYY-MM-DD: " + fields[1];
  }
  row.day = DayOf<LocalClock>(*date);
  std::int32_t* const counts[4] = {&row.managed, &row.unmanaged, &row.off, &row.changes};
  for (int i = 0; i < 4; ++i) {
    const std::optional<std::int32_t> count = ParseCount(fields[2 + i]);
    if (!count) return std::string(kReportCsvColumns[2 + i]) + " is not a whole number: " + fields[2 + i];
    *counts[i] = *count;
  }
  const std::int64_t seconds = std::int64_t{row.managed} + row.unmanaged + row.off;
  if (seconds < kReportCsvShortestDay || seconds > kReportCsvLongestDay) {
    return "seconds do not add up to one day (23 to 25 hours)";
  }
  std::optional<LocalSeconds>* const times[2] = {&row.firstRecord, &row.lastRecord};
  for (int i = 0; i < 2; ++i) {
    const std::string& field = fields[6 + i];
    *times[i] = field.empty() ? std::nullopt : ParseLocalTime(field, fields[1], row.day);
    if (!field.empty() && !*times[i]) return "not a time YYYY-MM-DDThh:mm:ss: " + field;
  }
  const auto ofTheDay = [&](const std::optional<LocalSeconds>& time) {
    return *time >= row.day && *time < row.day + std::chrono::days(1);
  };
  if (row.firstRecord.has_value() != row.lastRecord.has_value() ||
      (row.firstRecord &&
       (*row.firstRecord > *row.lastRecord || !ofTheDay(row.firstRecord) || !ofTheDay(row.lastRecord)))) {
    return "first_record and last_record are not two times of that day, in order";
  }
  return "";
}

}  // namespace

std::string ReportCsvField(const std::string& text) {
  if (text.find_first_of(",\"\r\n") == std::string::npos) return text;
  std::string quoted = "\"";
  for (char c : text) {
    if (c == '"') quoted += '"';
    quoted += c;
  }
  return quoted + "\"";
}

bool ReportCsvReader::NextRecord(std::string& error) {
  if (at_ >= text_.size()) return false;
  line_ = nextLine_;
  count_ = 0;
  for (bool more = true; more;) {
    // Each field's text is kept where it was: no allocation once the
    // first rows have grown them.
    std::string& field = fields_[count_ < fields_.size() ? count_ : fields_.size() - 1];
    field.clear();
    const bool quoted = at_ < text_.size() && text_[at_] == '"';
    if (quoted) {
      for (++at_;; ++at_) {
        if (at_ >= text_.size()) {
          error = "a quoted field is not closed";
          at_ = text_.size();
          return true;
        }
        if (text_[at_] == '"') {
          if (at_ + 1 < text_.size() && text_[at_ + 1] == '"') {
            ++at_;
          } else {
            break;
          }
        } else if (text_[at_] == '\n') {
          ++nextLine_;
        }
        field += text_[at_];
      }
      ++at_;
    } else {
      const std::size_t start = at_;
      while (at_ < text_.size() && text_[at_] != ',' && text_[at_] != '\n' && text_[at_] != '"') ++at_;
      field.assign(text_.data() + start, at_ - start);
    }
    if (at_ < text_.size() && text_[at_] == ',') {
      ++at_;
    } else {
      if (quoted && at_ + 1 < text_.size() && text_[at_] == '\r' && text_[at_ + 1] == '\n') ++at_;
      if (!quoted && !field.empty() && field.back() == '\r') field.pop_back();
      if (at_ < text_.size() && text_[at_] != '\n') {
        error = "a quote inside a field, or after a quoted one";
        const std::size_t end = text_.find('\n', at_);
        at_ = end == std::string_view::npos ? text_.size() : end + 1;
        ++nextLine_;
        return true;
      }
      if (at_ < text_.size()) ++at_;
      ++nextLine_;
      more = false;
    }
    ++count_;
  }
  return true;
}

std::string ReportCsvReader::ReadHeader() {
  std::string error;
  if (!NextRecord(error) || !error.empty() || count_ != kReportCsvColumns.size()) return "not the report's CSV header";
  for (std::size_t i = 0; i < kReportCsvColumns.size(); ++i) {
    if (fields_[i] != kReportCsvColumns[i]) return "not the report's CSV header";
  }
  return "";
}

bool ReportCsvReader::ReadRow(ReportCsvRow& row, std::string& error) {
  error.clear();
  if (!NextRecord(error)) return false;
  if (error.empty()) error = count_ != kReportCsvColumns.size() ? "not 8 fields" : CheckRow(fields_, row);
  return true;
}

}  // namespace mardonel
