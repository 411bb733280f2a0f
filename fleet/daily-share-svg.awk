# Draws the answer of daily-share (its CSV, header first) as an SVG picture,
# one column a day: above, the share of running time that was managed; below,
# the machines that reported, those with managed time at the foot. Colours
# as in the report's picture of one machine.
function number(value) { return sprintf("%.2f", value) }
function rect(x, y, width, height, kind, colour) {
  printf "<rect class=\"%s\" x=\"%s\" y=\"%s\" width=\"%s\" height=\"%s\" fill=\"%s\"/>\n", kind,
    number(x), number(y), number(width), number(height), colour
}
function text(x, y, anchor, words) {
  printf "<text x=\"%s\" y=\"%s\" text-anchor=\"%s\">%s</text>\n", number(x), number(y), anchor, words
}
function rule(y) {
  printf "<line x1=\"%s\" y1=\"%s\" x2=\"%s\" y2=\"%s\" stroke=\"#CCCCCC\" stroke-width=\"0.5\"/>\n",
    number(left - 4), number(y), number(left + chart), number(y)
}
BEGIN {
  managed = "#0072B2"; unmanaged = "#E69F00"; off = "#F0F0F0"
  left = 60; chart = 576; share_top = 58; share_height = 200; count_top = 298; count_height = 120
  width = left + chart + 20; height = count_top + count_height + 62
}
NR > 1 {
  day[++days] = $1; machines[days] = $2; managed_machines[days] = $3
  managed_s[days] = $4; unmanaged_s[days] = $5
  if ($2 > most) most = $2
}
END {
  print "<?xml version=\"1.0\" encoding=\"UTF-8\"?>"
  printf "<svg xmlns=\"http://www.w3.org/2000/svg\" version=\"1.1\" width=\"%d\" height=\"%d\" viewBox=\"0 0 %d %d\" ", width, height, width, height
  print "font-family=\"sans-serif\" font-size=\"11\">"
  title = days ? "Managed share of the fleet, " day[1] " to " day[days] : "Managed share of the fleet: no day loaded"
  print "<title>" title "</title>"
  print "<rect width=\"100%\" height=\"100%\" fill=\"#FFFFFF\"/>"
  printf "<text x=\"%d\" y=\"20\" font-size=\"14\" font-weight=\"bold\">%s</text>\n", left, title
  text(left, share_top - 8, "start", "managed share of running time")
  text(left, count_top - 8, "start", "machines reporting, those with managed time below")
  for (percent = 0; percent <= 100; percent += 50) {
    rule(share_top + share_height * (1 - percent / 100))
    text(left - 8, share_top + share_height * (1 - percent / 100) + 4, "end", percent "%")
  }
  rule(count_top + count_height)
  text(left - 8, count_top + count_height + 4, "end", 0)
  if (most) text(left - 8, count_top + 4, "end", most)
  step = chart / (days ? days : 1)
  labels = int((days + 11) / 12)
  for (i = 1; i <= days; i++) {
    x = left + (i - 1) * step + step * 0.1
    printf "<g id=\"day-%s\">\n", day[i]
    running = managed_s[i] + unmanaged_s[i]
    if (running == 0) rect(x, share_top, step * 0.8, share_height, "off", off)
    else {
      rect(x, share_top, step * 0.8, share_height, "unmanaged", unmanaged)
      part = share_height * managed_s[i] / running
      rect(x, share_top + share_height - part, step * 0.8, part, "managed", managed)
    }
    part = count_height * machines[i] / most
    rect(x, count_top + count_height - part, step * 0.8, part, "unmanaged", unmanaged)
    part = count_height * managed_machines[i] / most
    rect(x, count_top + count_height - part, step * 0.8, part, "managed", managed)
    if ((i - 1) % labels == 0) text(x + step * 0.4, count_top + count_height + 16, "middle", substr(day[i], 6))
    print "</g>"
  }
  split("managed unmanaged off", kinds, " ")
  split(managed " " unmanaged " " off, colours, " ")
  split("managed|unmanaged|no running time", names, "|")
  for (i = 1; i <= 3; i++) {
    x = left + (i - 1) * 150
    rect(x, height - 30, 14, 14, kinds[i], colours[i])
    printf "<rect x=\"%d\" y=\"%d\" width=\"14\" height=\"14\" fill=\"none\" stroke=\"#888888\" stroke-width=\"0.5\"/>\n", x, height - 30
    text(x + 20, height - 19, "start", names[i])
  }
  print "</svg>"
}
