#include "fleet/report_rows.h"

#include <unordered_map>

#include "fleet/run_counter.h"
#include "report/local_days.h"
#include "report/report_csv.h"

namespace mardonel::fleet {

namespace {

constexpr std::size_t kBatch = 1 << 18;

void AppendEscaped(std::string& out, std::string_view text) {
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
    out += computer;
    out += '\t';
    out += Date(row.day);
    for (std::int32_t count : {row.managed, row.unmanaged, row.off, row.changes}) {
      out += '\t';
      out += std::to_string(count);
    }
    for (const auto& time : {row.firstRecord, row.lastRecord}) {
      out += '\t';
      if (!time) {
        out += "\\N";
        continue;
      }
      out += Date(row.day);
      out += ' ';
      const std::int64_t second = *time % 86400;
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
    auto [at, added] = dates_.try_emplace(day);
    if (added) at->second = IsoDate(day);
    return at->second;
  }

  std::unordered_map<std::int64_t, std::string> dates_;
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
    // The machine whose rows come one after another now, and its last day.
    std::string block;
    std::int64_t blockLast = 0;
    ReportCsvRow row;
    std::string why;
    while (reader.ReadRow(row, why)) {
      if (why.empty() && row.day > latestDay) {
        why = "date after tomorrow (" + IsoDate(latestDay) + " by this loader's UTC clock): " + IsoDate(row.day);
      }
      computer.clear();
      if (why.empty()) AppendEscaped(computer, row.computer);
      bool apart = false;
      if (!why.empty()) {
      } else if (computer == block) {
        if (row.day <= blockLast) why = "date not after that computer's line before";
      } else {
        if (const auto found = seen.find(computer); found != seen.end()) {
          apart = true;
          if (found->second.file != file) {
            pass.overlap = true;
          } else if (row.day <= found->second.lastDay) {
            why = "date not after that computer's line before";
          }
        }
        if (why.empty()) {
          if (!block.empty()) seen[block] = {file, blockLast};
          seen[computer] = {file, row.day};
          block = computer;
        }
      }
      if (!why.empty()) {
        refuse(file, reader.Line(), std::move(why));
        break;
      }
      blockLast = row.day;
      if (!passing) continue;
      if (appendAfter && (apart || row.day <= *appendAfter)) {
        pass.appendable = false;
        return pass;
      }
      copyText.Row(batch, computer, row);
      pass.places.push_back({static_cast<std::uint32_t>(file), static_cast<std::uint32_t>(reader.Line())});
      if (appendAfter) runs.Day(computer, row.day, row.managed > 0);
      if (batch.size() >= kBatch) {
        passing = sink(batch);
        batch.clear();
      }
    }
    if (!block.empty()) seen[block] = {file, blockLast};
  }
  if (passing && !batch.empty()) sink(batch);
  if (appendAfter) pass.runs = runs.Finish();
  return pass;
}

}  // namespace mardonel::fleet
