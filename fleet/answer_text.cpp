#include "answer_text.h"

#include <algorithm>
#include <vector>

#include "report/report_csv.h"

namespace mardonel::fleet {

namespace {

// The server's numeric types (pg_type.oid), which psql sets to the right.
bool IsNumber(Oid type) {
  constexpr Oid kNumbers[] = {20 /* int8 */, 21 /* int2 */,    23 /* int4 */,    26 /* oid */,    28 /* xid */,
                              29 /* cid */,  700 /* float4 */, 701 /* float8 */, 790 /* money */, 1700 /* numeric */,
                              5069 /* xid8 */};
  return std::find(std::begin(kNumbers), std::end(kNumbers), type) != std::end(kNumbers);
}

// Characters, not bytes, of UTF-8 text.
std::size_t Width(const char* text) {
  std::size_t width = 0;
  for (; *text != '\0'; ++text) width += (static_cast<unsigned char>(*text) & 0xC0) != 0x80;
  return width;
}

}  // namespace

std::string AlignedTable(const PGresult* answer) {
  const int columns = PQnfields(answer);
  const int rows = PQntuples(answer);
  std::vector<std::size_t> widths(static_cast<std::size_t>(columns));
  for (int c = 0; c < columns; ++c) {
    std::size_t& width = widths[static_cast<std::size_t>(c)];
    width = Width(PQfname(answer, c));
    for (int r = 0; r < rows; ++r) width = std::max(width, Width(PQgetvalue(answer, r, c)));
  }
  std::string text;
  std::string rule;
  for (int c = 0; c < columns; ++c) {
    const std::size_t space = widths[static_cast<std::size_t>(c)] - Width(PQfname(answer, c));
    text +=
        (c == 0 ? " " : " | ") + std::string(space / 2, ' ') + PQfname(answer, c) + std::string((space + 1) / 2, ' ');
    rule += (c == 0 ? "" : "+") + std::string(widths[static_cast<std::size_t>(c)] + 2, '-');
  }
  text += " \n" + rule + "\n";
  for (int r = 0; r < rows; ++r) {
    for (int c = 0; c < columns; ++c) {
      const char* value = PQgetvalue(answer, r, c);
      const std::string pad(widths[static_cast<std::size_t>(c)] - Width(value), ' ');
      text += c == 0 ? " " : " | ";
      if (IsNumber(PQftype(answer, c))) {
        text += pad + value;
      } else {
        text += value;
        // As psql: no blanks at the end of a line.
        if (c + 1 < columns) text += pad;
      }
    }
    text += "\n";
  }
  return text + "(" + std::to_string(rows) + (rows == 1 ? " row)\n\n" : " rows)\n\n");
}

std::string CsvTable(const PGresult* answer) {
  const int columns = PQnfields(answer);
  std::string text;
  for (int c = 0; c < columns; ++c) text += (c == 0 ? "" : ",") + ReportCsvField(PQfname(answer, c));
  text += "\n";
  for (int r = 0; r < PQntuples(answer); ++r) {
    for (int c = 0; c < columns; ++c) text += (c == 0 ? "" : ",") + ReportCsvField(PQgetvalue(answer, r, c));
    text += "\n";
  }
  return text;
}

}  // namespace mardonel::fleet
