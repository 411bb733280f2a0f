#include "report_rows.h"

#include <charconv>
#include <chrono>
#include <unordered_map>

#include "report/local_days.h"
#include "report/report_csv.h"
#include "run_counter.h"

namespace mardonel::fleet {

namespace {

// A row's day, counted as the report's CSV reader counts it, as its date.
std::string DayText(std::int64_t day) { return IsoDate(DateAfter1601(std::chrono::days(day))); }

constexpr std::size_t kBatch = 1 << 16;

// `text` as COPY's text format wants it.
void Escape(std::string& out, std::string_view text) {
  if (text.find_first_of("\\\t\n\r") == std::string_view::npos) {
    out.assign(text);
    return;
  }
  out.clear();
  for (char c : text) {
    switch (c) {
      case '\\':
        out += "\\\\";
        break;
      case '\t':
        out += "\\t";
        break;
      case '\n':
        out += "\\n";
        break;
      case '\r':
        out += "\\r";
        break;
      default:
        out += c;
    }
  }
}

void AppendTwo(std::string& out, std::int64_t value) {
  out += static_cast<char>('0' + value / 10);
  out += static_cast<char>('0' + value % 10);
}

class CopyText {
 public:
  void Row(std::string& out, const std::string& computer, const ReportCsvRow& row) {
    const std::int64_t day = row.day.time_since_epoch().count();
    out += computer;
    out += '\t';
    out += Date(day);
    for (std::int32_t count : {row.managed, row.unmanaged, row.off, row.changes}) {
      char digits[16];
      out += '\t';
      out.append(digits, std::to_chars(digits, digits + sizeof digits, count).ptr);
    }
    for (const auto& time : {row.firstRecord, row.lastRecord}) {
      out += '\t';
      if (!time) {
        out += "\\N";
        continue;
      }
      out += Date(day);
      out += ' ';
      const std::int64_t second = (*time - row.day).count();
      AppendTwo(out, second / 3600);
      out += ':';
      AppendTwo(out, second / 60 % 60);
      out += ':';
      AppendTwo(out, second % 60);
    }
    out += '\n';
  }

 private:
  // A load holds few days: each is written out once.
  const std::string& Date(std::int64_t day) {
    if (day == lastDay_) return *lastText_;
    auto [at, added] = dates_.try_emplace(day);
    if (added) at->second = DayText(day);
    lastDay_ = day;
    lastText_ = &at->second;
    return at->second;
  }

  std::unordered_map<std::int64_t, std::string> dates_;
  std::int64_t lastDay_ = -1;
  const std::string* lastText_ = nullptr;
};

struct Seen {
  std::size_t file;
  std::int64_t lastDay;
};

}  // namespace

RowsPass PassRows(std::span<const ReportFile> files, std::int64_t latestDay, std::optional<std::int64_t> appendAfter,
                  const std::function<bool(std::string_view)>& sink) {
  RowsPass pass;
  RunCounter runs;
  CopyText copyText;
  std::unordered_map<std::string, Seen> seen;
  // About a machine a row, in a daily load: grown once, not step by step.
  std::size_t bytes = 0;
  for (const ReportFile& file : files) bytes += file.content.size();
  seen.reserve(bytes / 80);
  std::string batch;
  std::string computer;
  bool passing = true;
  const auto refuse = [&](std::size_t file, std::int64_t line, std::string why) {
    pass.refusals.push_back({file, line, std::move(why)});
    passing = false;
  };
  for (std::size_t file = 0; file < files.size(); ++file) {
    if (files[file].content.empty()) {
      refuse(file, 0, "empty, not the report's CSV");
      continue;
    }
    ReportCsvReader reader(files[file].content);
    if (std::string why = reader.ReadHeader(); !why.empty()) {
      refuse(file, 1, std::move(why));
      continue;
    }
    // The machine whose rows come one after another now: its name and its
    // entry in `seen`, whose last day each row moves on.
    const std::string* block = nullptr;
    Seen* blockSeen = nullptr;
    ReportCsvRow row;
    std::string why;
    while (reader.ReadRow(row, why)) {
      // The day as the rows' days are counted here, from 1601.
      const std::int64_t rowDay = row.day.time_since_epoch().count();
      if (why.empty() && rowDay > latestDay) {
        why = "date after tomorrow (" + DayText(latestDay) + " by this loader's UTC clock): " + DayText(rowDay);
      }
      computer.clear();
      if (why.empty()) Escape(computer, row.computer);
      bool apart = false;
      if (!why.empty()) {
      } else if (block != nullptr && computer == *block) {
        pass.oneDayEach = false;
        if (rowDay <= blockSeen->lastDay) why = "date not after that computer's line before";
      } else {
        auto [at, added] = seen.try_emplace(computer, Seen{file, rowDay});
        if (!added) {
          apart = true;
          if (at->second.file != file) {
            pass.overlap = true;
            at->second = {file, rowDay};
          } else if (rowDay <= at->second.lastDay) {
            why = "date not after that computer's line before";
          }
        }
        block = &at->first;
        blockSeen = &at->second;
      }
      if (!why.empty()) {
        refuse(file, reader.Line(), std::move(why));
        break;
      }
      blockSeen->lastDay = rowDay;
      if (!passing) continue;
      if (appendAfter && (apart || rowDay <= *appendAfter)) {
        pass.appendable = false;
        return pass;
      }
      copyText.Row(batch, computer, row);
      pass.places.push_back({static_cast<std::uint32_t>(file), static_cast<std::uint32_t>(reader.Line())});
      if (appendAfter) {
        runs.Day(computer, rowDay, row.managed > 0);
        DayTotals& day = pass.totals[rowDay];
        ++day.machines;
        day.managedMachines += row.managed > 0 ? 1 : 0;
        day.managed += row.managed;
        day.unmanaged += row.unmanaged;
      }
      if (batch.size() >= kBatch) {
        passing = sink(batch);
        batch.clear();
      }
    }
  }
  if (passing && !batch.empty()) sink(batch);
  if (appendAfter) pass.runs = runs.Finish();
  return pass;
}

}  // namespace mardonel::fleet
