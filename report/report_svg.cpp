#include "report_svg.h"

#include <cstdio>

#include "report/local_days.h"

namespace mardonel {

namespace {

constexpr double kLeft = 90;  // day labels
constexpr double kHourWidth = 24;
constexpr double kChartWidth = 24 * kHourWidth;
constexpr double kRight = 70;  // managed share
constexpr double kTop = 58;    // title and hour labels
constexpr double kRowHeight = 18;
constexpr double kBarHeight = 14;
constexpr double kLegendHeight = 40;
constexpr double kWidth = kLeft + kChartWidth + kRight;

std::string XmlText(const std::string& text) {
  std::string escaped;
  for (char c : text) {
    switch (c) {
      case '&':
        escaped += "&amp;";
        break;
      case '<':
        escaped += "&lt;";
        break;
      case '>':
        escaped += "&gt;";
        break;
      case '"':
        escaped += "&quot;";
        break;
      default:
        // Control characters are not allowed in XML 1.0.
        escaped += static_cast<unsigned char>(c) < 0x20 ? '?' : c;
    }
  }
  return escaped;
}

std::string Number(double value) {
  char text[32];
  std::snprintf(text, sizeof text, "%.2f", value);
  return text;
}

std::string Rect(double x, double y, double width, double height, const char* kind, const char* colour) {
  return "<rect class=\"" + std::string(kind) + "\" x=\"" + Number(x) + "\" y=\"" + Number(y) + "\" width=\"" +
         Number(width) + "\" height=\"" + Number(height) + "\" fill=\"" + colour + "\"/>";
}

std::string Text(double x, double y, const char* anchor, const std::string& text) {
  return "<text x=\"" + Number(x) + "\" y=\"" + Number(y) + "\" text-anchor=\"" + anchor + "\">" + XmlText(text) +
         "</text>";
}

std::string ShareText(const DayRow& row) {
  const std::optional<int> percent = ManagedPercent(row.managed, row.unmanaged);
  return percent ? std::to_string(*percent) + "%" : "-";
}

std::string HourGrid(double bottom) {
  std::string grid;
  for (int hour = 0; hour <= 24; ++hour) {
    const double x = kLeft + hour * kHourWidth;
    const bool labelled = hour % 3 == 0;
    grid += "<line x1=\"" + Number(x) + "\" y1=\"" + Number(kTop - (labelled ? 8 : 4)) + "\" x2=\"" + Number(x) +
            "\" y2=\"" + Number(bottom) + "\" stroke=\"" + (labelled ? "#888888" : "#CCCCCC") +
            "\" stroke-width=\"0.5\"/>\n";
    if (labelled) grid += Text(x, kTop - 11, "middle", std::to_string(hour)) + "\n";
  }
  return grid;
}

std::string Legend(double y) {
  struct Entry {
    const char* kind;
    const char* colour;
    const char* label;
  };
  const Entry entries[] = {{"managed", kManagedColour, "managed"},
                           {"unmanaged", kUnmanagedColour, "unmanaged"},
                           {"off", kOffColour, "off or unknown"}};
  std::string legend;
  double x = kLeft;
  for (const Entry& entry : entries) {
    legend += Rect(x, y, 14, 14, entry.kind, entry.colour);
    legend += "<rect x=\"" + Number(x) + "\" y=\"" + Number(y) +
              "\" width=\"14\" height=\"14\" fill=\"none\" "
              "stroke=\"#888888\" stroke-width=\"0.5\"/>";
    legend += Text(x + 20, y + 11, "start", entry.label) + "\n";
    x += 150;
  }
  return legend;
}

}  // namespace

std::string ReportSvg(const std::string& computer, const ManagedDays& days) {
  const double chartBottom = kTop + kRowHeight * static_cast<double>(days.days.size());
  const double height = chartBottom + kLegendHeight;
  std::string svg =
      "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
      "<svg xmlns=\"http://www.w3.org/2000/svg\" version=\"1.1\" width=\"" +
      Number(kWidth) + "\" height=\"" + Number(height) + "\" viewBox=\"0 0 " + Number(kWidth) + " " + Number(height) +
      "\" " + "font-family=\"sans-serif\" font-size=\"11\">\n";
  const std::string title =
      "Managed time of " + computer + ", " + IsoDate(days.days.front().day) + " to " + IsoDate(days.days.back().day);
  svg += "<title>" + XmlText(title) + "</title>\n";
  svg += "<rect width=\"100%\" height=\"100%\" fill=\"#FFFFFF\"/>\n";
  svg += "<text x=\"" + Number(kLeft) + "\" y=\"20\" font-size=\"14\" font-weight=\"bold\">" + XmlText(title) +
         "</text>\n";
  svg += Text(kLeft + kChartWidth + kRight - 6, kTop - 11, "end", "managed") + "\n";

  double y = kTop;
  for (const DayRow& row : days.days) {
    const double barY = y + (kRowHeight - kBarHeight) / 2;
    svg += "<g id=\"day-" + IsoDate(row.day) + "\">";
    svg += Text(kLeft - 8, barY + 11, "end", IsoDate(row.day));
    svg += Rect(kLeft, barY, kChartWidth, kBarHeight, "off", kOffColour);
    // By the local clock: on a fall-back day the repeated hour is drawn over.
    for (const DayPiece& piece : row.pieces) {
      const bool managed = piece.kind == TimeKind::kManaged;
      svg += Rect(kLeft + static_cast<double>(piece.from) * kChartWidth / kSecondsPerDay, barY,
                  static_cast<double>(piece.to - piece.from) * kChartWidth / kSecondsPerDay, kBarHeight,
                  managed ? "managed" : "unmanaged", managed ? kManagedColour : kUnmanagedColour);
    }
    svg += Text(kLeft + kChartWidth + kRight - 6, barY + 11, "end", ShareText(row));
    svg += "</g>\n";
    y += kRowHeight;
  }
  svg += HourGrid(chartBottom);
  svg += Legend(chartBottom + 14);
  return svg + "</svg>\n";
}

}  // namespace mardonel
