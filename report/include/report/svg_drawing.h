// What the report's picture and the fleet's daily-share picture draw with:
// their colours, their shapes and their text, written one way. Needs nothing
// of the platform.
#pragma once

#include <string>

namespace mardonel {

// Colours that stay apart in grey and for red-green colour blindness.
inline constexpr char kManagedColour[] = "#0072B2";
inline constexpr char kUnmanagedColour[] = "#E69F00";
inline constexpr char kOffColour[] = "#F0F0F0";

// Text escaped for XML; control characters, not allowed in XML 1.0, as '?'.
std::string XmlText(const std::string& text);

// Two decimals, whatever the locale.
std::string SvgNumber(double value);

// A filled rectangle of the class `kind` ("managed", "unmanaged", "off").
std::string SvgRect(double x, double y, double width, double height, const char* kind, const char* colour);

std::string SvgText(double x, double y, const char* anchor, const std::string& text);

// A thin line across, in the grid's colour `stroke`.
std::string SvgLine(double x1, double y1, double x2, double y2, const char* stroke);

// The document up to its content: a white page of `width` by `height` with
// `title` as its title and in bold at (`left`, 20). The caller ends it with
// "</svg>\n".
std::string SvgStart(double width, double height, double left, const std::string& title);

// The three colours' key in one row from (`x`, `y`), 150 apart; `offLabel`
// names the off colour.
std::string SvgLegend(double x, double y, const char* offLabel);

}  // namespace mardonel
