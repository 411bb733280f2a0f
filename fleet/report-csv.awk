# Checks report CSVs (names one a line in the file `list`) and passes their
# rows on for COPY. Here: the header, eight fields, the computer's name (its
# quoting and length), the shape of the date and times, and each machine's
# dates rising within a file; the table's types and checks read the values
# as the server copies them (whole numbers, real dates and times, seconds
# that make a day, record times of that day and in order).
# The first bad line of each bad file goes to `work`/refused and the exit
# status is 1. Also writes `work`/starts (how many rows were passed on
# before each file's, and its name) and `work`/overlap (whether a machine's
# rows come from two files).
# With append=1 the rows go straight into the stored days, which holds only
# while each is of a day after `after` (the last stored day, if any) and
# each machine's rows come side by side in one file: at the first row that
# is not, the checker passes nothing more on, writes "false" to
# `work`/append and ends well, so that the loader takes the other way;
# otherwise it writes "true", and the machines' runs over the rows it passed
# on to `work`/walked (fleet/runs.awk, given before this file).
function refuse(why) {
  printf "%s:%d: %s\n", given[FILENAME], FNR, why > (work "/refused")
  bad = 1
  skip = FILENAME
}
# Looks field by field at a row that the one test below did not pass: a
# quoted name, or a bad row. Sets computer; says why the row is bad, or
# nothing.
function slow_check(i) {
  computer = $1
  if ($1 ~ /^"/) {
    if (!match(line, /^"([^"]|"")*",/)) return "the computer's name is badly quoted"
    computer = substr(line, 2, RLENGTH - 3)
    gsub(/""/, "\"", computer)
    $0 = "x" substr(line, RLENGTH)
  } else if ($1 ~ /"/) return "a quote inside the computer's name"
  if (NF != 8) return "not 8 fields"
  if (computer == "") return "the computer's name is empty"
  if ($2 !~ /^[0-9][0-9][0-9][0-9]-[0-9][0-9]-[0-9][0-9]$/) return "date is not YYYY-MM-DD: " $2
  for (i = 7; i <= 8; ++i)
    if ($i != "" && length($i) != 19) return "not a time YYYY-MM-DDThh:mm:ss: " $i
  return ""
}
# Characters of UTF-8 text: its bytes less those that continue a character.
function characters(text) {
  return length(text) - gsub(/[\200-\277]/, "", text)
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
  if (append) runs_file = work "/walked"
}
FNR == 1 {
  if (block != "") last_date[block] = block_last
  block = ""
  # Written at once: a refusal by the server ends the checker early.
  print passed + 0, given[FILENAME] > (work "/starts")
  fflush(work "/starts")
  ++files
  sub(/\r$/, "")
  if ($0 != header) refuse("not the report's CSV header")
  next
}
FILENAME == skip { next }
{
  # Not changing $0 spares splitting it again.
  if (index($0, "\r")) sub(/\r$/, "")
  line = $0
  # The common row in one test, what slow_check looks at.
  if (NF == 8 && index(line, "\"") == 0 && $1 != "" && $2 ~ /^[0-9][0-9][0-9][0-9]-[0-9][0-9]-[0-9][0-9]$/ &&
      (length($7) == 19 || $7 == "") && (length($8) == 19 || $8 == ""))
    computer = $1
  else if ((why = slow_check()) != "") {
    refuse(why)
    next
  }
  if (computer == block) {
    if ($2 <= block_last) { refuse("date not after that computer's line before"); next }
  } else {
    # As long as a DNS name.
    if (length(computer) > 255 && characters(computer) > 255) {
      refuse("the computer's name is longer than 255 characters")
      next
    }
    if (computer in seen) {
      if (seen[computer] != files) overlap = "true"
      else if ($2 <= last_date[computer]) { refuse("date not after that computer's line before"); next }
      apart = 1
    }
    if (block != "") last_date[block] = block_last
    seen[computer] = files
    block = computer
  }
  block_last = $2
  if (append && (apart || (after != "" && $2 <= after))) {
    printf "" > (work "/refused")
    print "false" > (work "/append")
    stopped = 1
    exit 0
  }
  ++passed
  print line
  # The server reads a number quoted or not: "7200" is 7200.
  if (append) run_day(computer, day_number($2), $3 + 0 > 0 || (substr($3, 1, 1) == "\"" && substr($3, 2) + 0 > 0))
}
END {
  if (stopped) exit 0
  print overlap > (work "/overlap")
  if (append && !bad) {
    run_end()
    print "true" > (work "/append")
  }
  exit bad
}
