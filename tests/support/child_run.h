// Runs some tests of this program in a new process with a changed
// environment: Wine reads TZ and LANG only when a process starts, and only
// from its Unix environment, which a Windows environment block never reaches.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

namespace mardonel {

// Runs the tests matching `filter` in a new process of this program whose
// environment is this one plus `variables` ("NAME=value") and the mark of a
// child run. Succeeds when at least one test ran and none failed or skipped.
// Wine sets some variables afresh in such a process (ALLUSERSPROFILE among
// them): pass their values under names of the test's own.
// A non-zero `fileSizeLimit` runs the child under that limit on the size of
// any file it writes (RLIMIT_FSIZE, with SIGXFSZ ignored): a write crossing
// it is cut short and the next one fails, a real short write. The child's
// own test report must stay below it.
testing::AssertionResult RunTestsInChild(const std::string& filter, const std::vector<std::string>& variables,
                                         std::uint64_t fileSizeLimit = 0);

// True in a process started by RunTestsInChild; tests that only make sense
// there skip themselves otherwise.
bool IsChildRun();

}  // namespace mardonel
