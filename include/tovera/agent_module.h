// The contract between the host agent and its plug-in modules.
//
// The host is built with the Microsoft compiler, the module may not be: the
// interface keeps the Microsoft vtable layout under both compilers. Slot 0 is
// the scalar deleting destructor (flags bit 0: free the memory), slots 1 to 13
// are the operations in the order below.
#pragma once

#include <windows.h>

#include <cstdint>

struct HostAddressEntry {
  DWORD addressWord;
  DWORD maskWord;
};

struct HostAddressTable {
  CRITICAL_SECTION lock;
  HostAddressEntry** first;
  HostAddressEntry** last;  // one past the final pointer
};

namespace Tovera {

class IAgentModule {
 public:
#if defined(_MSC_VER)
  virtual ~IAgentModule() {}
#else
  // g++ would give a virtual destructor two slots; the host expects one.
  virtual void* ScalarDeletingDestructor(unsigned int flags) = 0;
#endif
  virtual DWORD OnStartup(HostAddressTable* table, ULONG_PTR reserved) = 0;
  virtual DWORD OnShutdown() = 0;
  virtual DWORD ReservedA() = 0;
  virtual DWORD ReservedB(ULONG_PTR first, ULONG_PTR second) = 0;
  virtual DWORD ReservedC(INT32 value) = 0;
  virtual DWORD OnNetAdaptersChanged(bool connected, bool force) = 0;
  virtual DWORD ReservedD(ULONG_PTR value) = 0;
  virtual DWORD OnHeartbeat(const FILETIME* now) = 0;
  virtual DWORD ReservedE() = 0;
  virtual DWORD OnSleep() = 0;
  virtual DWORD OnOutOfSuspend() = 0;
  virtual DWORD ReservedF() = 0;
  virtual DWORD ReservedG(UINT16 value) = 0;

#if !defined(_MSC_VER)
 protected:
  ~IAgentModule() = default;
#endif
};

// Destroys a module the way the host does: through slot 0, freeing it.
inline void DestroyAgentModule(IAgentModule* module) {
  if (module == nullptr) return;
#if defined(_MSC_VER)
  delete module;
#else
  module->ScalarDeletingDestructor(1);
#endif
}

using GetModuleFunction = IAgentModule* (*)(void* unused);

}  // namespace Tovera

#if defined(MARDONEL_BUILD)
#define TOVERA_MODULE_API __declspec(dllexport)
#else
#define TOVERA_MODULE_API
#endif

extern "C" TOVERA_MODULE_API Tovera::IAgentModule* __getMardonel(void* unused);
