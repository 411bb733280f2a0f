// One WMI result object and its properties.
#pragma once

#include <windows.h>
#include <wbemcli.h>

#include "common/win/com_owners.h"

namespace mardonel {

class CWbemInstance {
 public:
  CWbemInstance() = default;
  // Takes a reference of its own to `object`.
  explicit CWbemInstance(IWbemClassObject* object) : object_(object) {}

  // The named property's value with its type. Throws ComError with the
  // HRESULT of a failed read, E_POINTER for an instance without an object.
  unique_variant GetProperty(const wchar_t* name) const;

  [[nodiscard]] IWbemClassObject* get() const { return object_.get(); }

 private:
  com_ptr<IWbemClassObject> object_;
};

// The string a value holds; for any other type (null, empty, numbers, strings
// by reference) one shared empty string, which lives until the module unloads.
BSTR BstrFromVariant(const VARIANT& value);

}  // namespace mardonel
