#include "report/svg_drawing.h"

#include <cstdio>

namespace mardonel {

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
        escaped += static_cast<unsigned char>(c) < 0x20 ? '?' : c;
    }
  }
  return escaped;
}

std::string SvgNumber(double value) {
  char text[32];
  std::snprintf(text, sizeof text, "%.2f", value);
  return text;
}

std::string SvgRect(double x, double y, double width, double height, const char* kind, const char* colour) {
  return "<rect class=\"" + std::string(kind) + "\" x=\"" + SvgNumber(x) + "\" y=\"" + SvgNumber(y) + "\" width=\"" +
         SvgNumber(width) + "\" height=\"" + SvgNumber(height) + "\" fill=\"" + colour + "\"/>";
}

std::string SvgText(double x, double y, const char* anchor, const std::string& text) {
  return "<text x=\"" + SvgNumber(x) + "\" y=\"" + SvgNumber(y) + "\" text-anchor=\"" + anchor + "\">" + XmlText(text) +
         "</text>";
}

std::string SvgLine(double x1, double y1, double x2, double y2, const char* stroke) {
  return "<line x1=\"" + SvgNumber(x1) + "\" y1=\"" + SvgNumber(y1) + "\" x2=\"" + SvgNumber(x2) + "\" y2=\"" +
         SvgNumber(y2) + "\" stroke=\"" + stroke + "\" stroke-width=\"0.5\"/>";
}

std::string SvgStart(double width, double height, double left, const std::string& title) {
  return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
         "<svg xmlns=\"http://www.w3.org/2000/svg\" version=\"1.1\" width=\"" +
         SvgNumber(width) + "\" height=\"" + SvgNumber(height) + "\" viewBox=\"0 0 " + SvgNumber(width) + " " +
         SvgNumber(height) + "\" font-family=\"sans-serif\" font-size=\"11\">\n<title>" + XmlText(title) +
         "</title>\n<rect width=\"100%\" height=\"100%\" fill=\"#FFFFFF\"/>\n<text x=\"" + SvgNumber(left) +
         "\" y=\"20\" font-size=\"14\" font-weight=\"bold\">" + XmlText(title) + "</text>\n";
}

std::string SvgLegend(double x, double y, const char* offLabel) {
  struct Entry {
    const char* kind;
    const char* colour;
    const char* label;
  };
  const Entry entries[] = {{"managed", kManagedColour, "managed"},
                           {"unmanaged", kUnmanagedColour, "unmanaged"},
                           {"off", kOffColour, offLabel}};
  std::string legend;
  for (const Entry& entry : entries) {
    legend += SvgRect(x, y, 14, 14, entry.kind, entry.colour);
    legend += "<rect x=\"" + SvgNumber(x) + "\" y=\"" + SvgNumber(y) +
              "\" width=\"14\" height=\"14\" fill=\"none\" "
              "stroke=\"#888888\" stroke-width=\"0.5\"/>";
    legend += SvgText(x + 20, y + 11, "start", entry.label) + "\n";
    x += 150;
  }
  return legend;
}

}  // namespace mardonel
