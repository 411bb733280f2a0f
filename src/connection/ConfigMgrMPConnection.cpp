#include "connection/ConfigMgrMPConnection.h"

bool ConfigMgrMPConnection::IsAvailable() { return true; }

bool ConfigMgrMPConnection::TestConnectivity() { return false; }
