#include <gtest/gtest.h>

#include <string>

#include "report/report_csv.h"

namespace mardonel {

namespace {

constexpr const char* kTimes = ",2026-11-02T09:00:00,2026-11-02T11:00:00";

// The header, then `rows`; what the reader makes of each row: its computer,
// managed seconds and line, or why it is refused.
std::string Read(const std::string& rows) {
  const std::string text = std::string(kReportCsvHeader) + "\r\n" + rows;
  ReportCsvReader reader(text);
  EXPECT_EQ(reader.ReadHeader(), "");
  std::string seen;
  ReportCsvRow row;
  std::string why;
  while (reader.ReadRow(row, why)) {
    seen += std::to_string(reader.Line()) + ": " +
            (why.empty() ? row.computer + " " + std::to_string(row.managed) : why) + "\n";
  }
  return seen;
}

TEST(ReportCsv, RowsAsWrittenAndEachRuleRefused) {
  const std::string day = ",2026-11-02,7200,0,79200,1";
  struct Case {
    std::string rows;
    std::string read;
  };
  for (const Case& c : {
           Case{"alpha" + day + kTimes + "\r\nbeta" + day + ",,\n", "2: alpha 7200\n3: beta 7200\n"},
           // As the writer quotes a name; a line break inside it moves the lines on.
           Case{ReportCsvField("a,\"b\"\r\nc") + day + kTimes + "\r\nd,2026-11-02,\"3600\",3600,79200,0,,\r\n",
                "2: a,\"b\"\r\nc 7200\n4: d 3600\n"},
           Case{"a\"b" + day + kTimes + "\nc" + day + kTimes,
                "2: a quote inside a field, or after a quoted one\n3: c 7200\n"},
           Case{"\"a" + day + kTimes, "2: a quoted field is not closed\n"},
           Case{"a" + day + ",2026-11-02T09:00:00\n", "2: not 8 fields\n"},
           Case{"," + day.substr(1) + kTimes, "2: the computer's name is empty\n"},
           Case{"\xE9" + day + kTimes, "2: the computer's name is not UTF-8\n"},
           Case{std::string(255 * 2, 'x').replace(0, 2, "\xC3\xA9") + day + kTimes,
                "2: the computer's name is longer than 255 characters\n"},
           Case{"a,2026-02-30,0,0,86400,0,,", "2: date is not YYYY-MM-DD: 2026-02-30\n"},
           Case{"a,1600-12-31,0,0,86400,0,,", "2: date before 1601-01-01, the report's earliest day: 1600-12-31\n"},
           Case{"a,2026-11-02,-1,0,86400,0,,", "2: managed_s is not a whole number: -1\n"},
           Case{"a,2026-11-02,0,2147483648,86400,0,,", "2: unmanaged_s is not a whole number: 2147483648\n"},
           Case{"a,2026-11-02,0,0,82799,0,,", "2: seconds do not add up to one day (23 to 25 hours)\n"},
           Case{"a" + day + ",2026-11-02T9:00:00,2026-11-02T11:00:00",
                "2: not a time YYYY-MM-DDThh:mm:ss: 2026-11-02T9:00:00\n"},
           Case{"a" + day + ",2026-11-02T12:00:00,2026-11-02T11:00:00",
                "2: first_record and last_record are not two times of that day, in order\n"},
           Case{"a" + day + ",2026-11-03T09:00:00,2026-11-03T11:00:00",
                "2: first_record and last_record are not two times of that day, in order\n"},
           Case{"a" + day + ",2026-11-02T09:00:00,",
                "2: first_record and last_record are not two times of that day, in order\n"},
       }) {
    EXPECT_EQ(Read(c.rows), c.read) << c.rows;
  }
  // 255 characters of two bytes each are a name.
  std::string name;
  for (int i = 0; i < 255; ++i) name += "\xC3\xA9";
  EXPECT_EQ(Read(name + day + kTimes), "2: " + name + " 7200\n");
}

}  // namespace

}  // namespace mardonel
