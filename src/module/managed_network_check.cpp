#include "module/managed_network_check.h"

#include <new>
#include <optional>
#include <string>
#include <utility>

#include "common/log/log.h"
#include "common/log/log_escape.h"
#include "common/registry/registry_parameter.h"
#include "common/registry/setting_names.h"
#include "host_address_table.h"

namespace mardonel {

void ManagedNetworkCheck::Connect(HostAddressTable* table) {
  addressTable_ = table;
  if (!connection_ && makeConnection_) connection_ = makeConnection_();
}

void ManagedNetworkCheck::LoadManagedSubnets() {
  char text[RememberedSubnets::kTextLimit + 1] = {};
  // A list that cannot be read is an empty one.
  static_cast<void>(
      GetRegParameter(HKEY_LOCAL_MACHINE, kCommonKey, kManagedSubnetsValue, REG_SZ, text, sizeof text, RP_READ_ONLY));
  text[RememberedSubnets::kTextLimit] = '\0';
  if (text[0] != '\0' && DebugInfoEnabled()) LogPrintf("%T: Found managed subnets [%s]\n", EscapedForLog(text).c_str());
  RememberedSubnets loaded = RememberedSubnets::Parse(text);
  // What the module learnt is kept for its life, a subnet the registry
  // refused to store included; an earlier start-up's list is not read twice.
  loaded.AddMissing(managedSubnets_);
  managedSubnets_ = std::move(loaded);
  for (const std::string& entry : managedSubnets_.NotTaken()) {
    LogPrintf("%T: Skipped remembered subnet that is not a dotted address: \"%s\"\n", EscapedForLog(entry).c_str());
  }
}

std::uintptr_t ManagedNetworkCheck::AddressCount() const { return GetAddressCount(addressTable_); }

bool ManagedNetworkCheck::IsManagedNetwork() {
  const std::uintptr_t count = GetAddressCount(addressTable_);
  // Every entry reaches the same point through the same routing, so one
  // unanswered ask answers for the whole scan.
  bool unanswered = !connection_;
  for (std::uintptr_t index = 0; index < count; ++index) {
    const auto entry = static_cast<std::uint32_t>(index);
    const std::uint32_t address = GetAddressWord(addressTable_, entry);
    const std::uint32_t subnet = address & GetMaskWord(addressTable_, entry);
    if (managedSubnets_.Contains(subnet)) return true;
    if (!unanswered && connection_->TestConnectivity()) {
      // The adapter that reached the point earns the credit, not the entry at
      // hand, which may be a host-only or container adapter on every network.
      const std::optional<std::uint32_t> local = connection_->LastLocalAddress();
      const std::optional<std::uint32_t> reached = local ? FindSubnetOfAddress(addressTable_, *local) : std::nullopt;
      if (!reached) {
        if (DebugInfoEnabled()) {
          LogPrintf("%T: Reached the MP from an address outside the IPv4 address table; no subnet remembered.\n");
        }
        return true;
      }
      if (managedSubnets_.Contains(*reached)) return true;
      // Reachable all the same when the subnet cannot be remembered or stored.
      try {
        managedSubnets_.Add(*reached);
        static_cast<void>(SaveManagedSubnets());
      } catch (const std::bad_alloc&) {
      }
      return true;
    }
    unanswered = true;
    LogPrintf("%T: Failed to connect to MP. Setting status to unmanaged.\n");
  }
  return false;
}

DWORD ManagedNetworkCheck::SaveManagedSubnets() {
  std::size_t leftOut = 0;
  const std::string text = managedSubnets_.Format(&leftOut);
  if (leftOut != 0) {
    LogPrintf(
        "%T: ManagedSubnets leaves out the %lu oldest subnet(s): the entries not taken leave no room; they stay "
        "remembered in memory\n",
        static_cast<unsigned long>(leftOut));
  }
  return SetRegParameter(HKEY_LOCAL_MACHINE, kCommonKey, kManagedSubnetsValue, REG_SZ, text.c_str(), 0, 0);
}

}  // namespace mardonel
