// Text between the report's UTF-8 and the platform's wide and ANSI forms.
#pragma once

#include <optional>
#include <string>

namespace mardonel {

std::string Utf8Of(const wchar_t* text);
std::wstring WideOf(const std::string& utf8);
// In the system's ANSI code page, for the interfaces that take it; nothing
// when a character has no place there.
std::optional<std::string> AnsiOf(const std::string& utf8);

}  // namespace mardonel
