#include "host_lookup.h"

#include <memory>
#include <mutex>
#include <new>
#include <string>
#include <utility>
#include <vector>

#include "common/win/text_conversion.h"
#include "common/win/win_owners.h"

namespace mardonel {

namespace {

HostResolver FindPlatformResolver() {
  HostResolver resolver;
  resolver.start = GetAddrInfoExW;
  // Both appear with asynchronous resolution; a platform without them
  // resolves synchronously.
  const HMODULE winsock = GetModuleHandleW(L"ws2_32.dll");
  if (winsock == nullptr) return resolver;
  // Through void*: the platform's generic procedure type does not convert directly.
  resolver.cancel = reinterpret_cast<decltype(resolver.cancel)>(
      reinterpret_cast<void*>(GetProcAddress(winsock, "GetAddrInfoExCancel")));
  resolver.result = reinterpret_cast<decltype(resolver.result)>(
      reinterpret_cast<void*>(GetProcAddress(winsock, "GetAddrInfoExOverlappedResult")));
  if (resolver.cancel == nullptr || resolver.result == nullptr) {
    resolver.cancel = nullptr;
    resolver.result = nullptr;
  }
  return resolver;
}

// One asynchronous lookup: the resolver writes into it until it signals the
// event, so it must outlive the wait whenever the wait gives up first.
class PendingLookup {
 public:
  PendingLookup() : event(CreateEventW(nullptr, TRUE, FALSE, nullptr)) { overlapped.hEvent = event.get(); }
  PendingLookup(const PendingLookup&) = delete;
  PendingLookup& operator=(const PendingLookup&) = delete;

  [[nodiscard]] bool Usable() const { return static_cast<bool>(event); }
  [[nodiscard]] bool Finished(DWORD waitMs) const { return WaitForSingleObject(event.get(), waitMs) == WAIT_OBJECT_0; }

  unique_handle event;
  OVERLAPPED overlapped{};
  unique_addrinfoex result;
  HANDLE cancel = nullptr;
};

// Lookups given up on while the resolver still held them; each is freed at
// a later lookup once the resolver has let go. Never destroyed: at unload a
// resolver may still be writing into one.
class AbandonedLookups {
 public:
  static AbandonedLookups& Instance() {
    static AbandonedLookups* const instance = new AbandonedLookups;
    return *instance;
  }

  void Keep(std::unique_ptr<PendingLookup> lookup) {
    const std::lock_guard<std::mutex> hold(lock_);
    try {
      lookups_.push_back(std::move(lookup));
    } catch (const std::bad_alloc&) {
      static_cast<void>(lookup.release());  // left to the resolver rather than freed under it
    }
  }

  void FreeFinished() {
    const std::lock_guard<std::mutex> hold(lock_);
    std::erase_if(lookups_, [](const std::unique_ptr<PendingLookup>& lookup) { return lookup->Finished(0); });
  }

 private:
  std::mutex lock_;
  std::vector<std::unique_ptr<PendingLookup>> lookups_;
};

// A cancelled lookup signals its end promptly where cancelling works (not
// under Wine, which refuses the cancel).
constexpr DWORD kCancelGrace = 200;  // milliseconds

int LookUpAsync(const HostResolver& resolver, const wchar_t* host, const wchar_t* service, const ADDRINFOEXW& hints,
                DWORD timeout, unique_addrinfoex& addresses) {
  AbandonedLookups::Instance().FreeFinished();
  auto lookup = std::make_unique<PendingLookup>();
  if (!lookup->Usable()) return static_cast<int>(GetLastError());
  timeval bound{static_cast<long>(timeout / 1000), static_cast<long>(timeout % 1000 * 1000)};
  const int started = resolver.start(host, service, NS_DNS, nullptr, &hints, lookup->result.put(), &bound,
                                     &lookup->overlapped, nullptr, &lookup->cancel);
  if (started != WSA_IO_PENDING) {
    addresses = std::move(lookup->result);
    return started;
  }
  if (!lookup->Finished(timeout)) {
    if (resolver.cancel(&lookup->cancel) != 0 || !lookup->Finished(kCancelGrace)) {
      AbandonedLookups::Instance().Keep(std::move(lookup));
      return WSAETIMEDOUT;
    }
  }
  const int error = resolver.result(&lookup->overlapped);
  addresses = std::move(lookup->result);
  return error;
}

}  // namespace

const HostResolver& PlatformResolver() {
  static const HostResolver resolver = FindPlatformResolver();
  return resolver;
}

int LookUpTcpHost(const char* host, unsigned short port, DWORD timeout, unique_addrinfoex& addresses,
                  const HostResolver& resolver) {
  addresses.reset();
  std::wstring wideHost;
  std::wstring service;
  try {
    // A name that has no wide form names no host.
    if (AnsiToWide(host, CP_ACP, wideHost) != ERROR_SUCCESS) return WSAHOST_NOT_FOUND;
    service = std::to_wstring(port);
  } catch (const std::bad_alloc&) {
    return WSA_NOT_ENOUGH_MEMORY;
  }
  ADDRINFOEXW hints{};
  hints.ai_family = AF_UNSPEC;
  hints.ai_socktype = SOCK_STREAM;
  hints.ai_protocol = IPPROTO_TCP;

  if (resolver.cancel != nullptr) {
    return LookUpAsync(resolver, wideHost.c_str(), service.c_str(), hints, timeout, addresses);
  }
  ADDRINFOEXW* found = nullptr;
  const int error = resolver.start(wideHost.c_str(), service.c_str(), NS_DNS, nullptr, &hints, &found, nullptr, nullptr,
                                   nullptr, nullptr);
  addresses.reset(found);
  return error;
}

}  // namespace mardonel
