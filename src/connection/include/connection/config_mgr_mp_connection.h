// Whether the management point named by the local management client answers.
#pragma once

#include "connection/connection.h"
#include "connection/management_point_name.h"

namespace mardonel {

inline constexpr unsigned short kHttpsPort = 443;

class ConfigMgrMPConnection : public IConnection {
 public:
  // The name comes from the local management client.
  ConfigMgrMPConnection();
  // `httpsPort`, tried together with the address's own port, is another
  // only for tests, which cannot count on port 443 of the machine.
  explicit ConfigMgrMPConnection(ManagementPointNameSource nameSource, unsigned short httpsPort = kHttpsPort);

  bool IsAvailable() override;
  // Enters the multithreaded COM apartment for the length of the check;
  // failures are logged, and the answer is false.
  [[nodiscard]] bool TestConnectivity() override;
  std::optional<std::uint32_t> LastLocalAddress() override { return lastLocalAddress_; }
  // True when the URL's host accepts a connection now, on the URL's port or
  // the HTTPS port.
  [[nodiscard]] bool TestUrl(const char* url);

 private:
  [[nodiscard]] bool CheckManagementPoint();

  ManagementPointNameSource nameSource_;
  unsigned short httpsPort_;
  std::optional<std::uint32_t> lastLocalAddress_;  // of the last check, when it succeeded
};

}  // namespace mardonel
