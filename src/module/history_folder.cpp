#include "module/mardonel.h"

void Mardonel::MaintainHistoryFolder() {}
