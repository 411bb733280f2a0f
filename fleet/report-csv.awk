# Checks report CSVs (names one a line in the file `list`) and passes their
# rows on for COPY; with numbered=1 each row ends with its place in the load.
# Here: the header, eight fields, the computer's name and its quoting, the
# shape of the date and times, and each machine's dates rising; the table's
# types and checks read the values as the server copies them (whole
# numbers, real dates and times, seconds that make a day, record times of
# that day and in order).
# The first bad line of each bad file goes to `work`/refused and the exit
# status is 1. Also writes `work`/starts (how many rows come before each
# file's, and its name), `work`/machines (each machine's first, last and
# last managed day, and its longest run of days without managed time, the
# latest of equally long ones) and `work`/overlap (whether a machine's rows
# come in two places).
function refuse(why) {
  printf "%s:%d: %s\n", given[FILENAME], FNR, why > (work "/refused")
  bad = 1
  skip = FILENAME
}
function flush() {
  if (block == "") return
  print block_field "," block_first "," block_last "," block_managed "," longest "," longest_last > (work "/machines")
  block = ""
}
function day_number(date, y, m) {
  y = substr(date, 1, 4) + 0
  m = substr(date, 6, 2) + 0
  if (m < 3) { y--; m += 12 }
  return 365 * y + int(y / 4) - int(y / 100) + int(y / 400) + int((153 * (m - 3) + 2) / 5) + substr(date, 9, 2)
}
# Looks field by field at a row that the one test below did not pass: a
# quoted name, or a bad row. Sets computer and field; says why the row is
# bad, or nothing.
function slow_check(i) {
  computer = field = $1
  if ($1 ~ /^"/) {
    if (!match(line, /^"([^"]|"")*",/)) return "the computer's name is badly quoted"
    computer = substr(line, 2, RLENGTH - 3)
    gsub(/""/, "\"", computer)
    field = substr(line, 1, RLENGTH - 1)
    $0 = "x" substr(line, RLENGTH)
  } else if ($1 ~ /"/) return "a quote inside the computer's name"
  if (NF != 8) return "not 8 fields"
  if (computer == "") return "the computer's name is empty"
  if ($2 !~ /^[0-9][0-9][0-9][0-9]-[0-9][0-9]-[0-9][0-9]$/) return "date is not YYYY-MM-DD: " $2
  for (i = 7; i <= 8; ++i)
    if ($i != "" && length($i) != 19) return "not a time YYYY-MM-DDThh:mm:ss: " $i
  return ""
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
  # Written at once: a refusal by the server ends the checker early.
  print NR - ++files, given[FILENAME] > (work "/starts")
  fflush(work "/starts")
  sub(/\r$/, "")
  if ($0 != header) refuse("not the report's CSV header")
  next
}
FILENAME == skip { next }
{
  sub(/\r$/, "")
  line = $0
  # The common row in one test, what slow_check looks at.
  if (NF == 8 && index(line, "\"") == 0 && $1 != "" && $2 ~ /^[0-9][0-9][0-9][0-9]-[0-9][0-9]-[0-9][0-9]$/ &&
      ($7 == "" || length($7) == 19) && ($8 == "" || length($8) == 19))
    computer = field = $1
  else if ((why = slow_check()) != "") {
    refuse(why)
    next
  }
  if (computer == block) {
    if ($2 <= block_last) { refuse("date not after the line before"); next }
  } else {
    flush()
    if (computer in seen) overlap = "true"
    seen[computer] = 1
    block = computer
    block_field = field
    block_first = $2
    block_managed = longest_last = ""
    run = longest = 0
  }
  block_last = $2
  if ($3 > 0) {
    block_managed = $2
    run = 0
  } else {
    # A run goes on from the day before only; a day without a row ends it.
    day = day_number($2)
    run = run > 0 && day == run_day + 1 ? run + 1 : 1
    run_day = day
    if (run >= longest) {
      longest = run
      longest_last = $2
    }
  }
  if (numbered) print line "," NR
  else print line
}
END {
  flush()
  printf "" > (work "/machines")
  print overlap > (work "/overlap")
  exit bad
}
