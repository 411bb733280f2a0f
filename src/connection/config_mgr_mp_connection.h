// Whether the management point named by the local management client answers.
#pragma once

#include "connection/connection.h"
#include "connection/management_point_name.h"

namespace mardonel {

class ConfigMgrMPConnection : public IConnection {
 public:
  // The name comes from the local management client.
  ConfigMgrMPConnection();
  explicit ConfigMgrMPConnection(ManagementPointNameSource nameSource);

  bool IsAvailable() override;
  // Enters the multithreaded COM apartment for the length of the check;
  // failures are logged, and the answer is false.
  bool TestConnectivity() override;
  std::optional<std::uint32_t> LastLocalAddress() override { return lastLocalAddress_; }
  // True when the URL's host and port accept a connection now.
  bool TestUrl(const char* url);

 private:
  bool CheckManagementPoint();

  ManagementPointNameSource nameSource_;
  std::optional<std::uint32_t> lastLocalAddress_;  // of the last check, when it succeeded
};

}  // namespace mardonel
