// Whether the management point named by the local management client answers.
#pragma once

#include "connection/connection.h"

class ConfigMgrMPConnection : public IConnection {
 public:
  bool IsAvailable() override;
  bool TestConnectivity() override;
};
