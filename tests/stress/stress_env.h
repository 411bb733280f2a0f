// What the load and fault tests share: the log pointed at a test file, a
// check that answers at once, a clock the test sets, history lines counted
// over every day's file, and the figures a run prints.
#pragma once

#include <windows.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "common/log/log.h"
#include "support/all_history.h"
#include "support/captured_log.h"
#include "support/fake_clock.h"
#include "support/fake_connection.h"
#include "support/fast_log_printf.h"

namespace mardonel {

// The process's commit charge. Wine reports no PrivateUsage; PagefileUsage
// is the same figure on Windows and is kept by Wine.
std::uint64_t CommittedBytes();

// Shows a figure of the run in the output and in the test's report.
void ReportFigure(const char* name, std::int64_t value);

}  // namespace mardonel
