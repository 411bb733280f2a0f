# Checks report CSVs (names one a line in the file `list`) and passes their
# rows on for COPY; with numbered=1 each row ends with its place in the load.
# The first bad line of each bad file goes to `work`/refused and the exit
# status is 1. Also writes `work`/machines (each machine's first, last and
# last managed day) and `work`/overlap (whether a machine's rows come in two
# places).
function refuse(why) {
  printf "%s:%d: %s\n", given[FILENAME], FNR, why > (work "/refused")
  bad = 1
  skip = FILENAME
}
function flush() {
  if (block != "") print block_field "," block_first "," block_last "," block_managed > (work "/machines")
  block = ""
}
# What the one-pattern test refused, said precisely.
function why(f, n, i) {
  if (n != 8) return "not 8 fields"
  if (f[1] == "" || f[1] ~ /"/) return "the computer's name is empty or badly quoted"
  if (f[2] !~ /^[0-9][0-9][0-9][0-9]-[0-9][0-9]-[0-9][0-9]$/) return "date is not YYYY-MM-DD: " f[2]
  for (i = 3; i <= 6; ++i) if (f[i] !~ /^[0-9]+$/) return "not a whole number: " f[i]
  return "first_record or last_record is not YYYY-MM-DDThh:mm:ss or empty"
}
function days_in_month(y, m) {
  if (m == 2) return (y % 4 == 0 && (y % 100 != 0 || y % 400 == 0)) ? 29 : 28
  return substr("312831303130313130313031", 2 * m - 1, 2) + 0
}
BEGIN {
  FS = ","
  header = "computer,date,managed_s,unmanaged_s,off_s,changes,first_record,last_record"
  # "./" keeps a name holding "=" from being taken for an assignment.
  while ((getline name < list) > 0) {
    ARGV[ARGC] = (name ~ /^\// ? "" : "./") name
    given[ARGV[ARGC++]] = name
  }
  overlap = "false"
}
FNR == 1 {
  flush()
  sub(/\r$/, "")
  if ($0 != header) refuse("not the report's CSV header")
  next
}
FILENAME == skip { next }
{
  sub(/\r$/, "")
  line = $0
  computer = field = $1
  # One pattern for the common row; the rest of the checks are arithmetic.
  if ($0 !~ /^[^,"]+,[0-9][0-9][0-9][0-9]-[01][0-9]-[0-3][0-9],[0-9]+,[0-9]+,[0-9]+,[0-9]+,[0-9T:-]*,[0-9T:-]*$/) {
    if (!match(line, /^"([^"]|"")*",/)) { refuse(why(f, split($0, f, ","))); next }
    # A quoted name: the fields after it are checked like any others.
    computer = substr(line, 2, RLENGTH - 3)
    gsub(/""/, "\"", computer)
    field = substr(line, 1, RLENGTH - 1)
    $0 = "x" substr(line, RLENGTH)
    if ($0 !~ /^x,[0-9][0-9][0-9][0-9]-[01][0-9]-[0-3][0-9],[0-9]+,[0-9]+,[0-9]+,[0-9]+,[0-9T:-]*,[0-9T:-]*$/) {
      refuse(why(f, split($0, f, ",")))
      next
    }
    if (computer == "") { refuse("the computer's name is empty"); next }
  }
  day = $2
  month = substr(day, 6, 2) + 0
  if (month < 1 || month > 12 || substr(day, 9) == "00" ||
      (substr(day, 9) > "28" && substr(day, 9) + 0 > days_in_month(substr(day, 1, 4), month))) {
    refuse("date is not a real date: " day)
    next
  }
  if ($3 + $4 + $5 != 86400) { refuse("seconds do not add up to one day (86400)"); next }
  if (length($6) > 9) { refuse("changes is too large: " $6); next }
  if (($7 != "" || $8 != "") && ($7 $8 !~ /^[0-9-]+T([01][0-9]|2[0-3]):[0-5][0-9]:[0-5][0-9][0-9-]+T([01][0-9]|2[0-3]):[0-5][0-9]:[0-5][0-9]$/ ||
      substr($7, 1, 10) != day || substr($8, 1, 10) != day || $7 > $8)) {
    refuse("first_record and last_record are not two times of that day, in order")
    next
  }
  if (computer == block) {
    if (day <= block_last) { refuse("date not after the line before"); next }
  } else {
    flush()
    if (computer in seen) overlap = "true"
    seen[computer] = 1
    block = computer
    block_field = field
    block_first = day
    block_managed = ""
  }
  block_last = day
  if ($3 > 0) block_managed = day
  if (numbered) print line "," NR
  else print line
}
END {
  flush()
  printf "" > (work "/machines")
  print overlap > (work "/overlap")
  exit bad
}
