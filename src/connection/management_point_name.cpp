#include "connection/management_point_name.h"

#include <wbemcli.h>

#include "common/win/com_owners.h"
#include "wbem_connect.h"
#include "wbem_instance_list.h"

namespace mardonel {

std::optional<std::wstring> QueryManagementPointName() {
  com_ptr<IWbemServices> services;
  WbemConnectServer(services, L".", L"root\\ccm\\LocationServices", nullptr, nullptr, RPC_C_AUTHN_LEVEL_PKT,
                    RPC_C_IMP_LEVEL_IMPERSONATE);
  CWbemInstanceList instances(services);
  instances.Query(L"SELECT MP FROM SMS_MPInformation", 0);
  if (instances.empty()) return std::nullopt;
  // Only the first management point the client lists is ever tried.
  const unique_variant name = instances.front().GetProperty(L"MP");
  return std::wstring(BstrFromVariant(name.get()));
}

}  // namespace mardonel
