// The questions `mardonel-fleet ask` answers, each one statement whose
// settings are its parameters: a value never becomes SQL text.
#pragma once

#include <span>
#include <string_view>

namespace mardonel::fleet {

enum class SettingKind {
  kDays,  // a whole number from 1 to 9999
  kDate,  // YYYY-MM-DD
};

struct Setting {
  std::string_view name;
  SettingKind kind;
  // The value when none is given: "today" is today's date in UTC; empty,
  // none (SQL null: no bound).
  std::string_view fallback;
};

struct Question {
  std::string_view name;
  // $1, $2... of `sql`, in this order.
  std::span<const Setting> settings;
  const char* sql;
};

[[nodiscard]] std::span<const Question> Questions() noexcept;

}  // namespace mardonel::fleet
