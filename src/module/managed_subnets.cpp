#include "module/mardonel.h"

bool Mardonel::IsManagedNetwork() { return false; }

DWORD Mardonel::SaveManagedSubnets() { return ERROR_SUCCESS; }
