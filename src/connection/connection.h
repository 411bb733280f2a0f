// A check of whether some target can be reached now.
#pragma once

class IConnection {
 public:
  virtual ~IConnection() = default;
  virtual bool IsAvailable() = 0;
  virtual bool TestConnectivity() = 0;
};
