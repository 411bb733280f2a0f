#include "fleet/load_command.h"

#include <iostream>

namespace mardonel::fleet {

ExitStatus RunLoad(std::span<const std::string> /*arguments*/) {
  std::cerr << "mardonel-fleet: load is not built yet\n";
  return ExitStatus::kTryAgain;
}

}  // namespace mardonel::fleet
