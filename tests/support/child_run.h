// Runs some tests of this program in a new process with a changed
// environment: Wine reads TZ and LANG only when a process starts, and only
// from its Unix environment, which a Windows environment block never reaches.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

// Runs the tests matching `filter` in a new process of this program whose
// environment is this one plus `variables` ("NAME=value") and the mark of a
// child run. Succeeds when at least one test ran and none failed or skipped.
// Wine sets some variables afresh in such a process (ALLUSERSPROFILE among
// them): pass their values under names of the test's own.
testing::AssertionResult RunTestsInChild(const std::string& filter, const std::vector<std::string>& variables);

// True in a process started by RunTestsInChild; tests that only make sense
// there skip themselves otherwise.
bool IsChildRun();
