# Each machine's runs of days without managed time, counted over its days
# as run_day is given them: in rising order, one machine after another. Of
# each machine a CSV line to runs_file: its first, last and last managed day,
# its first run, its longest (of equally long ones the latest) and the days
# of the run that ends on its last day, from which fleet/machines.sql carries
# the stored summaries on. Days are numbered from 2000-01-01, as there.
# The checker gives it the rows it passes on; with walk=1 this file alone
# reads the days that machines.sql writes out (a day's number, 1 when it had
# managed time, the machine's name quoted, a line each).

# day_number(YYYY-MM-DD): counted from March of year 0, so that a leap day
# ends its year; each date worked out once, as a load gives few.
function day_number(date,   y, m) {
  if (date in day_numbers) return day_numbers[date]
  y = substr(date, 1, 4) + 0
  m = substr(date, 6, 2) + 0
  if (m <= 2) { y--; m += 12 }
  return day_numbers[date] = 365 * y + int(y / 4) - int(y / 100) + int(y / 400) + int((153 * (m - 3) + 2) / 5) + \
    substr(date, 9, 2) - 730426
}
# A day of a machine: the day before it without a row, or with managed time,
# ends a run.
function run_day(computer, n, managed) {
  if (computer != run_computer) {
    run_write()
    run_computer = computer
    run_first_day = n
    run_managed = run_first_start = run_longest_last = ""
    run_current = run_first = run_longest = 0
  } else if (n != run_last + 1)
    run_current = 0
  run_last = n
  if (managed) {
    run_current = 0
    run_managed = n
    return
  }
  if (++run_current == 1 && run_first == 0) run_first_start = n
  if (run_first_start == n - run_current + 1) run_first = run_current
  if (run_current >= run_longest) {
    run_longest = run_current
    run_longest_last = n
  }
}
# The machine given last: its first, last and last managed day, the first day
# and the days of its first run, the days and the last day of its longest,
# the days of its current one, and its name.
function run_write(   name) {
  if (run_computer == "") return
  name = run_computer
  if (index(name, "\"")) gsub(/"/, "\"\"", name)
  printf "%d,%d,%s,%s,%d,%d,%s,%d,\"%s\"\n", run_first_day, run_last, run_managed, run_first_start, run_first,
    run_longest, run_longest_last, run_current, name >runs_file
}
# After the last day: the file is whole, even with no machine in it.
function run_end() {
  run_write()
  printf "" >runs_file
  close(runs_file)
}
walk {
  comma = index($0, ",")
  walked = substr($0, comma + 4, length($0) - comma - 4)
  if (index(walked, "\"")) gsub(/""/, "\"", walked)
  run_day(walked, substr($0, 1, comma - 1) + 0, substr($0, comma + 1, 1) == "1")
}
END { if (walk) run_end() }
