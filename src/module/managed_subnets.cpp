#include <algorithm>
#include <cstring>
#include <new>

#include "common/log/log.h"
#include "common/registry/registry_parameter.h"
#include "common/registry/setting_names.h"
#include "module/dotted_address.h"
#include "module/host_address_table.h"
#include "module/mardonel.h"

namespace mardonel {

namespace {

constexpr std::size_t kKeptSubnets = 5;
constexpr std::size_t kSubnetTextSize = 260;

void AppendBounded(char* text, std::size_t size, const char* piece) {
  const std::size_t length = std::strlen(text);
  if (length + 1 < size) std::strncat(text, piece, size - length - 1);
}

}  // namespace

bool Mardonel::IsManagedNetwork() {
  const std::uintptr_t count = GetAddressCount(addressTable);
  // Every entry reaches the same point through the same routing, so one
  // unanswered ask answers for the whole scan.
  bool unanswered = !connection;
  const auto isRemembered = [this](std::uint32_t subnet) {
    return std::find(managedSubnets.begin(), managedSubnets.end(), subnet) != managedSubnets.end();
  };
  for (std::uintptr_t index = 0; index < count; ++index) {
    const auto entry = static_cast<std::uint32_t>(index);
    const std::uint32_t address = GetAddressWord(addressTable, entry);
    const std::uint32_t subnet = address & GetMaskWord(addressTable, entry);
    if (isRemembered(subnet)) return true;
    if (!unanswered && connection->TestConnectivity()) {
      // The adapter that reached the point earns the credit, not the entry at hand.
      const std::optional<std::uint32_t> local = connection->LastLocalAddress();
      const std::optional<std::uint32_t> reached = local ? FindSubnetOfAddress(addressTable, *local) : std::nullopt;
      const std::uint32_t credited = reached.value_or(subnet);
      if (isRemembered(credited)) return true;
      try {
        managedSubnets.push_back(credited);
      } catch (const std::bad_alloc&) {
        return true;  // reachable all the same; only the memory of it is lost
      }
      SaveManagedSubnets();
      return true;
    }
    unanswered = true;
    LogPrintf("%T: Failed to connect to MP. Setting status to unmanaged.\n");
  }
  return false;
}

DWORD Mardonel::SaveManagedSubnets() {
  char text[kSubnetTextSize] = {};
  if (managedSubnets.size() > kKeptSubnets) {
    managedSubnets.erase(managedSubnets.begin(), managedSubnets.end() - kKeptSubnets);
  }
  for (const std::uint32_t subnet : managedSubnets) {
    if (text[0] == '\0') {
      FormatDottedAddress(text, sizeof text, subnet);
    } else {
      AppendBounded(text, sizeof text, ";");
      AppendBounded(text, sizeof text, FormatDottedAddress(nullptr, 0, subnet));
    }
  }
  return SetRegParameter(HKEY_LOCAL_MACHINE, kCommonKey, kManagedSubnetsValue, REG_SZ, text, 0, 0);
}

}  // namespace mardonel
