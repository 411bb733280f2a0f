// Calling an object's virtual functions as a host built by another compiler
// calls them.
#pragma once

namespace mardonel {

// The function in slot `index` of the virtual table of `object`.
template <typename Function>
Function SlotOf(void* object, int index) {
  void** table = *static_cast<void***>(object);
  return reinterpret_cast<Function>(table[index]);
}

}  // namespace mardonel
