#include "fleet/ask_command.h"

#include <iostream>

namespace mardonel::fleet {

ExitStatus RunAsk(std::span<const std::string> /*arguments*/) {
  std::cerr << "mardonel-fleet: ask is not built yet\n";
  return ExitStatus::kTryAgain;
}

}  // namespace mardonel::fleet
