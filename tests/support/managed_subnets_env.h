// The managed subnets that the machine's registry remembers across module
// runs, stored as a module would read them.
#pragma once

namespace mardonel {

// Stores `text` as the remembered subnets, as a module would read it.
void RememberManagedSubnets(const char* text);

}  // namespace mardonel
