#include "report_svg.h"

#include "report/local_days.h"
#include "report/svg_drawing.h"

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

std::string ShareText(const DayRow& row) {
  const std::optional<int> percent = ManagedPercent(row.managed, row.unmanaged);
  return percent ? std::to_string(*percent) + "%" : "-";
}

std::string HourGrid(double bottom) {
  std::string grid;
  for (int hour = 0; hour <= 24; ++hour) {
    const double x = kLeft + hour * kHourWidth;
    const bool labelled = hour % 3 == 0;
    grid += SvgLine(x, kTop - (labelled ? 8 : 4), x, bottom, labelled ? "#888888" : "#CCCCCC") + "\n";
    if (labelled) grid += SvgText(x, kTop - 11, "middle", std::to_string(hour)) + "\n";
  }
  return grid;
}

}  // namespace

std::string ReportSvg(const std::string& computer, const ManagedDays& days) {
  const double chartBottom = kTop + kRowHeight * static_cast<double>(days.days.size());
  const double height = chartBottom + kLegendHeight;
  const std::string title =
      "Managed time of " + computer + ", " + IsoDate(days.days.front().day) + " to " + IsoDate(days.days.back().day);
  std::string svg = SvgStart(kWidth, height, kLeft, title);
  svg += SvgText(kLeft + kChartWidth + kRight - 6, kTop - 11, "end", "managed") + "\n";

  double y = kTop;
  for (const DayRow& row : days.days) {
    const double barY = y + (kRowHeight - kBarHeight) / 2;
    svg += "<g id=\"day-" + IsoDate(row.day) + "\">";
    svg += SvgText(kLeft - 8, barY + 11, "end", IsoDate(row.day));
    svg += SvgRect(kLeft, barY, kChartWidth, kBarHeight, "off", kOffColour);
    // By the local clock: on a fall-back day the repeated hour is drawn over.
    for (const DayPiece& piece : row.pieces) {
      const bool managed = piece.kind == TimeKind::kManaged;
      svg += SvgRect(kLeft + static_cast<double>(piece.from.count()) * kChartWidth / kSecondsPerDay, barY,
                     static_cast<double>((piece.to - piece.from).count()) * kChartWidth / kSecondsPerDay, kBarHeight,
                     managed ? "managed" : "unmanaged", managed ? kManagedColour : kUnmanagedColour);
    }
    svg += SvgText(kLeft + kChartWidth + kRight - 6, barY + 11, "end", ShareText(row));
    svg += "</g>\n";
    y += kRowHeight;
  }
  svg += HourGrid(chartBottom);
  svg += SvgLegend(kLeft, chartBottom + 14, "off or unknown");
  return svg + "</svg>\n";
}

}  // namespace mardonel
