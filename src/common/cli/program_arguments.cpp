#include "common/cli/program_arguments.h"

#include <windows.h>
#include <shellapi.h>

#include "common/win/text_conversion.h"
#include "common/win/win_owners.h"

namespace mardonel {

std::vector<std::string> Utf8Arguments() {
  int count = 0;
  const unique_hlocal arguments(reinterpret_cast<HLOCAL>(CommandLineToArgvW(GetCommandLineW(), &count)));
  std::vector<std::string> utf8;
  const auto* const words = static_cast<const wchar_t* const*>(arguments.get());
  for (int i = 1; i < count && words != nullptr; ++i) {
    std::string word;
    // A word that does not convert reads as none.
    static_cast<void>(WideToAnsi(words[i], CP_UTF8, word));
    utf8.push_back(std::move(word));
  }
  return utf8;
}

}  // namespace mardonel
