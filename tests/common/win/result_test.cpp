#include <gtest/gtest.h>

#include <string>

#include "common/win/result.h"
#include "common/win/with_status.h"

namespace mardonel {

namespace {

// What a caller reads of a result: its value (or its reason), having asked
// first or not.
struct Reading {
  const char* what;
  bool holdsValue;
  bool asked;
  bool readsValue;
  bool lives;
};

// 7 either way when the reading is sound: the value, or the reason's length.
int Read(const Reading& reading) {
  const Result<int> result = reading.holdsValue ? Result<int>(7) : Result<int>(Refusal{"refused"});
  if (reading.asked) static_cast<void>(result.ok());
  return reading.readsValue ? *result : static_cast<int>(result.reason().size());
}

TEST(Result, ReadOnlyWhatItHoldsAndOnlyAfterAsking) {
  const Reading readings[] = {
      {"value after asking", true, true, true, true},   {"reason after asking", false, true, false, true},
      {"value unasked", true, false, true, false},      {"reason unasked", false, false, false, false},
      {"value of a refusal", false, true, true, false}, {"reason of a value", true, true, false, false},
  };
  for (const Reading& reading : readings) {
    if (reading.lives) {
      EXPECT_EQ(Read(reading), 7) << reading.what;
    } else {
      EXPECT_DEATH(static_cast<void>(Read(reading)), "") << reading.what;
    }
  }
}

TEST(WithStatus, ValueReadOnlyAfterItsStatusEvenWhenFailed) {
  const auto read = [](bool asked) {
    const WithStatus<std::string> found("kept", ERROR_FILE_NOT_FOUND);
    if (asked) {
      EXPECT_EQ(found.status(), static_cast<DWORD>(ERROR_FILE_NOT_FOUND));
    }
    return found.value();
  };
  EXPECT_EQ(read(true), "kept");
  EXPECT_DEATH(static_cast<void>(read(false)), "");
}

}  // namespace

}  // namespace mardonel
