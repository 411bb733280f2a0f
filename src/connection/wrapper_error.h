// Failures of the string and value wrappers, kept apart from the HRESULTs
// that COM calls throw, so that callers can tell the two kinds apart.
#pragma once

#include <windows.h>

namespace mardonel {

class CWrapperError {
 public:
  explicit CWrapperError(HRESULT error) : error_(error) {}
  HRESULT Error() const { return error_; }

 private:
  HRESULT error_;
};

}  // namespace mardonel
