// WMI's own text for an HRESULT.
#pragma once

#include <windows.h>

#include <string>

namespace mardonel {

// Fills `text` and returns S_OK; when WMI's status-text service cannot be
// made, or its text cannot be converted, returns that failure and leaves
// `text` as it was; when it has no text for `error`, returns its failure with
// the text "Get last error failed".
[[nodiscard]] HRESULT GetWmiErrorText(HRESULT error, std::string& text);

}  // namespace mardonel
