#include "fleet/intake_command.h"

#include <iostream>

namespace mardonel::fleet {

ExitStatus RunIntake(std::span<const std::string> /*arguments*/) {
  std::cerr << "mardonel-fleet: intake is not built yet\n";
  return ExitStatus::kTryAgain;
}

}  // namespace mardonel::fleet
