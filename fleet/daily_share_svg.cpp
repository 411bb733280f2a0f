#include "daily_share_svg.h"

#include <algorithm>

#include "report/svg_drawing.h"

namespace mardonel::fleet {

namespace {

constexpr double kLeft = 60;  // the scales' labels
constexpr double kChartWidth = 576;
constexpr double kShareTop = 58;
constexpr double kShareHeight = 200;
constexpr double kCountTop = 298;
constexpr double kCountHeight = 120;
constexpr double kWidth = kLeft + kChartWidth + 20;
constexpr double kHeight = kCountTop + kCountHeight + 62;
// Labels under at most this many columns: the dates stay apart.
constexpr std::size_t kMostLabels = 12;

std::string Rule(double y) { return SvgLine(kLeft - 4, y, kLeft + kChartWidth, y, "#CCCCCC") + "\n"; }

std::string Column(const ShareDay& day, double x, double width, std::int64_t most) {
  std::string svg;
  const std::int64_t running = day.managedSeconds + day.unmanagedSeconds;
  if (running == 0) {
    svg += SvgRect(x, kShareTop, width, kShareHeight, "off", kOffColour) + "\n";
  } else {
    const double managed = kShareHeight * static_cast<double>(day.managedSeconds) / static_cast<double>(running);
    svg += SvgRect(x, kShareTop, width, kShareHeight, "unmanaged", kUnmanagedColour) + "\n";
    svg += SvgRect(x, kShareTop + kShareHeight - managed, width, managed, "managed", kManagedColour) + "\n";
  }
  const double scale = most > 0 ? kCountHeight / static_cast<double>(most) : 0;
  const double reporting = scale * static_cast<double>(day.machines);
  const double managed = scale * static_cast<double>(day.managedMachines);
  svg += SvgRect(x, kCountTop + kCountHeight - reporting, width, reporting, "unmanaged", kUnmanagedColour) + "\n";
  svg += SvgRect(x, kCountTop + kCountHeight - managed, width, managed, "managed", kManagedColour) + "\n";
  return svg;
}

}  // namespace

std::string DailyShareSvg(const std::vector<ShareDay>& days) {
  const std::string title = days.empty() ? "Managed share of the fleet: no day loaded"
                                         : "Managed share of the fleet, " + days.front().day + " to " + days.back().day;
  std::string svg = SvgStart(kWidth, kHeight, kLeft, title);
  svg += SvgText(kLeft, kShareTop - 8, "start", "managed share of running time") + "\n";
  svg += SvgText(kLeft, kCountTop - 8, "start", "machines reporting, those with managed time below") + "\n";
  for (int percent = 0; percent <= 100; percent += 50) {
    const double y = kShareTop + kShareHeight * (1 - percent / 100.0);
    svg += Rule(y) + SvgText(kLeft - 8, y + 4, "end", std::to_string(percent) + "%") + "\n";
  }
  svg += Rule(kCountTop + kCountHeight) + SvgText(kLeft - 8, kCountTop + kCountHeight + 4, "end", "0") + "\n";
  std::int64_t most = 0;
  for (const ShareDay& day : days) most = std::max(most, day.machines);
  if (most > 0) svg += SvgText(kLeft - 8, kCountTop + 4, "end", std::to_string(most)) + "\n";

  const double step = kChartWidth / static_cast<double>(std::max<std::size_t>(days.size(), 1));
  const std::size_t labelEvery = (days.size() + kMostLabels - 1) / kMostLabels;
  for (std::size_t i = 0; i < days.size(); ++i) {
    const double x = kLeft + static_cast<double>(i) * step + step * 0.1;
    svg += "<g id=\"day-" + XmlText(days[i].day) + "\">\n" + Column(days[i], x, step * 0.8, most);
    if (i % labelEvery == 0) {
      svg += SvgText(x + step * 0.4, kCountTop + kCountHeight + 16, "middle", days[i].day.substr(5)) + "\n";
    }
    svg += "</g>\n";
  }
  return svg + SvgLegend(kLeft, kHeight - 30, "no running time") + "</svg>\n";
}

}  // namespace mardonel::fleet
