#include "report/report_text.h"

#include <cstdio>

#include "report/local_days.h"
#include "report/report_csv.h"

namespace mardonel {

namespace {

std::string Permille(std::optional<int> permille) {
  if (!permille) return "-";
  char text[16];
  std::snprintf(text, sizeof text, "%d.%d%%", *permille / 10, *permille % 10);
  return text;
}

std::string JsonString(const std::string& text) {
  std::string quoted = "\"";
  for (char c : text) {
    if (c == '"' || c == '\\') {
      quoted += '\\';
      quoted += c;
    } else if (static_cast<unsigned char>(c) < 0x20) {
      char escaped[8];
      std::snprintf(escaped, sizeof escaped, "\\u%04x", static_cast<unsigned char>(c));
      quoted += escaped;
    } else {
      quoted += c;
    }
  }
  return quoted + "\"";
}

std::string OptionalTime(const std::optional<LocalSeconds>& second) {
  return second ? IsoLocalTime(*second) : std::string();
}

}  // namespace

std::string DurationText(std::int64_t seconds) {
  char text[32];
  std::snprintf(text, sizeof text, "%lld:%02d:%02d", static_cast<long long>(seconds / 3600),
                static_cast<int>(seconds / 60 % 60), static_cast<int>(seconds % 60));
  return text;
}

std::string ReportTable(const std::string& computer, const ManagedDays& days) {
  const RangeTotals& totals = days.totals;
  std::string text = "Managed time of " + computer + ", " + IsoDate(days.days.front().day) + " to " +
                     IsoDate(days.days.back().day) + "\r\n\r\n";
  char line[160];
  std::snprintf(line, sizeof line, "%-10s %10s %10s %12s %8s  %-8s  %s\r\n", "Date", "Managed", "Unmanaged",
                "Off/unknown", "Changes", "First", "Last");
  text += line;
  for (const DayRow& row : days.days) {
    std::snprintf(line, sizeof line, "%-10s %10s %10s %12s %8d  %-8s  %s\r\n", IsoDate(row.day).c_str(),
                  DurationText(row.managed).c_str(), DurationText(row.unmanaged).c_str(), DurationText(row.off).c_str(),
                  row.changes, row.firstRecord ? TimeOfDayText(*row.firstRecord).c_str() : "-",
                  row.lastRecord ? TimeOfDayText(*row.lastRecord).c_str() : "-");
    text += line;
  }
  std::snprintf(line, sizeof line, "%-10s %10s %10s %12s %8d\r\n\r\n", "Total", DurationText(totals.managed).c_str(),
                DurationText(totals.unmanaged).c_str(), DurationText(totals.off).c_str(), totals.changes);
  text += line;
  text += "Managed share of running time: " + Permille(ManagedPermille(totals.managed, totals.unmanaged)) + "\r\n";
  text += "Longest running time without managed time: " + DurationText(totals.longestUnmanaged);
  if (totals.longestUnmanaged > 0) {
    text += ", " + IsoLocalTime(totals.longestStart) + " to " + IsoLocalTime(totals.longestEnd);
  }
  return text + "\r\n";
}

std::string ReportCsv(const std::string& computer, const ManagedDays& days) {
  std::string text = std::string(kReportCsvHeader) + "\r\n";
  const std::string computerField = ReportCsvField(computer);
  for (const DayRow& row : days.days) {
    text += computerField + "," + IsoDate(row.day) + "," + std::to_string(row.managed) + "," +
            std::to_string(row.unmanaged) + "," + std::to_string(row.off) + "," + std::to_string(row.changes) + "," +
            OptionalTime(row.firstRecord) + "," + OptionalTime(row.lastRecord) + "\r\n";
  }
  return text;
}

std::string ReportJsonLines(const std::string& computer, const ManagedDays& days) {
  std::string text;
  const std::string computerField = JsonString(computer);
  // Appended piece by piece: GCC 12 at -O3 sees an overlap that cannot
  // happen in "literal" + std::string&&.
  const auto timeField = [](const std::optional<LocalSeconds>& second) {
    if (!second) return std::string("null");
    std::string quoted = "\"";
    quoted += IsoLocalTime(*second);
    quoted += '"';
    return quoted;
  };
  for (const DayRow& row : days.days) {
    text += "{\"computer\":" + computerField + ",\"date\":\"" + IsoDate(row.day) +
            "\",\"managed_s\":" + std::to_string(row.managed) + ",\"unmanaged_s\":" + std::to_string(row.unmanaged) +
            ",\"off_s\":" + std::to_string(row.off) + ",\"changes\":" + std::to_string(row.changes) +
            ",\"first_record\":" + timeField(row.firstRecord) + ",\"last_record\":" + timeField(row.lastRecord) +
            "}\r\n";
  }
  return text;
}

}  // namespace mardonel
