#include <winsock2.h>
#include <iphlpapi.h>
#include <ws2ipdef.h>

#include "host_table.h"

#include <cstdint>

#include "address_words.h"

namespace mardonel {

namespace {

constexpr ULONG kAdapterFlags = GAA_FLAG_SKIP_ANYCAST | GAA_FLAG_SKIP_MULTICAST | GAA_FLAG_SKIP_DNS_SERVER;

// The adapters' list, grown until it fits; 8-byte words keep it aligned.
DWORD ReadAdapters(std::vector<std::uint64_t>& buffer) {
  ULONG size = 16 * 1024;
  for (int attempt = 0; attempt < 4; ++attempt) {
    buffer.assign(size / sizeof(std::uint64_t) + 1, 0);
    size = static_cast<ULONG>(buffer.size() * sizeof(std::uint64_t));
    const ULONG result = GetAdaptersAddresses(AF_INET, kAdapterFlags, nullptr,
                                              reinterpret_cast<IP_ADAPTER_ADDRESSES*>(buffer.data()), &size);
    if (result != ERROR_BUFFER_OVERFLOW) return result;
  }
  return ERROR_BUFFER_OVERFLOW;
}

}  // namespace

HostTable::HostTable(bool includeLoopback) : includeLoopback_(includeLoopback) {
  InitializeCriticalSection(&table_.lock);
  table_.first = nullptr;
  table_.last = nullptr;
}

HostTable::~HostTable() { DeleteCriticalSection(&table_.lock); }

DWORD HostTable::Rebuild() {
  std::vector<std::uint64_t> buffer;
  const DWORD result = ReadAdapters(buffer);
  if (result != ERROR_SUCCESS && result != ERROR_NO_DATA) return result;

  std::vector<std::unique_ptr<HostAddressEntry>> entries;
  if (result == ERROR_SUCCESS) {
    for (auto* adapter = reinterpret_cast<IP_ADAPTER_ADDRESSES*>(buffer.data()); adapter != nullptr;
         adapter = adapter->Next) {
      if (adapter->OperStatus != IfOperStatusUp) continue;
      if (adapter->IfType == IF_TYPE_SOFTWARE_LOOPBACK && !includeLoopback_) continue;
      for (auto* unicast = adapter->FirstUnicastAddress; unicast != nullptr; unicast = unicast->Next) {
        const SOCKADDR* address = unicast->Address.lpSockaddr;
        if (address == nullptr || address->sa_family != AF_INET) continue;
        const auto* ipv4 = reinterpret_cast<const sockaddr_in*>(address);
        entries.push_back(std::make_unique<HostAddressEntry>(
            HostAddressEntry{ipv4->sin_addr.S_un.S_addr, MaskWordForPrefix(unicast->OnLinkPrefixLength)}));
      }
    }
  }
  std::vector<HostAddressEntry*> pointers;
  pointers.reserve(entries.size());
  for (const auto& entry : entries) pointers.push_back(entry.get());

  // The module reads under the same lock, so it never sees a half-built table
  // nor an entry that is being freed.
  TableLock lock(table_);
  entries_.swap(entries);
  pointers_.swap(pointers);
  table_.first = pointers_.data();
  table_.last = pointers_.data() + pointers_.size();
  return ERROR_SUCCESS;
}

bool HostTable::empty() {
  TableLock lock(table_);
  return table_.first == table_.last;
}

std::vector<std::string> HostTable::Describe() {
  TableLock lock(table_);
  std::vector<std::string> lines;
  for (HostAddressEntry** entry = table_.first; entry != table_.last; ++entry) {
    lines.push_back(DottedWord((*entry)->addressWord) + "/" + DottedWord((*entry)->maskWord));
  }
  return lines;
}

}  // namespace mardonel
