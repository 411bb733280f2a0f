// The managed subnets that the machine's registry remembers across module
// runs: tests start from a known memory and leave none behind.
#pragma once

// Removes the remembered subnets.
void ForgetManagedSubnets();

// Stores `text` as the remembered subnets, as a module would read it.
void RememberManagedSubnets(const char* text);
