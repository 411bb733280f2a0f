// The WMI helper against the namespaces and classes the platform serves, and
// against a scripted WMI for what the platform's never does.
#include <gtest/gtest.h>

#include <string>
#include <thread>
#include <vector>

#include "common/win/com_apartment.h"
#include "common/win/com_error.h"
#include "support/captured_log.h"
#include "support/scripted_wmi.h"
#include "wbem_connect.h"
#include "wbem_instance_list.h"
#include "wmi_error_text.h"

namespace mardonel {

namespace {

constexpr HRESULT kInvalidNamespace = static_cast<HRESULT>(0x8004100E);
constexpr HRESULT kNotFound = static_cast<HRESULT>(0x80041002);
constexpr HRESULT kInvalidQuery = static_cast<HRESULT>(0x80041017);
constexpr HRESULT kFailed = static_cast<HRESULT>(WBEM_E_FAILED);
constexpr HRESULT kTransportFailure = static_cast<HRESULT>(WBEM_E_TRANSPORT_FAILURE);

// Runs `job` and returns the HRESULT it threw, or S_OK when it threw none.
template <typename Job>
HRESULT ThrownHresult(Job job) {
  try {
    job();
  } catch (const ComError& error) {
    return error.result();
  }
  return S_OK;
}

class WmiHelper : public testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(SUCCEEDED(apartment_.result())); }

  void Connect(const wchar_t* server = nullptr) {
    WbemConnectServer(services_, server, L"root\\cimv2", nullptr, nullptr, RPC_C_AUTHN_LEVEL_PKT,
                      RPC_C_IMP_LEVEL_IMPERSONATE);
  }

  // The values of `property` as the platform's enumerator delivers them.
  std::vector<std::wstring> RawEnumeration(const wchar_t* query, const wchar_t* property) {
    std::vector<std::wstring> values;
    com_ptr<IEnumWbemClassObject> enumerator;
    const unique_bstr language = CopyBstr(L"WQL");
    const unique_bstr text = CopyBstr(query);
    EXPECT_EQ(services_->ExecQuery(language.get(), text.get(), 0, nullptr, enumerator.put()), S_OK);
    for (;;) {
      com_ptr<IWbemClassObject> object;
      ULONG returned = 0;
      if (enumerator->Next(10000, 1, object.put(), &returned) != S_OK || returned == 0) break;
      unique_variant value;
      object->Get(property, 0, value.put(), nullptr, nullptr);
      values.emplace_back(BstrFromVariant(value.get()));
    }
    return values;
  }

  ComApartment apartment_{COINIT_MULTITHREADED};
  com_ptr<IWbemServices> services_;
};

TEST_F(WmiHelper, ReadsTheSystemCaptionAsAString) {
  for (const wchar_t* server : {static_cast<const wchar_t*>(nullptr), L"."}) {
    services_.reset();
    Connect(server);
    CWbemInstanceList instances(services_);
    instances.Query(L"SELECT Caption FROM Win32_OperatingSystem", 0);
    ASSERT_EQ(instances.size(), 1u);
    const unique_variant caption = instances.front().GetProperty(L"Caption");
    ASSERT_EQ(caption.get().vt, VT_BSTR);
    EXPECT_EQ(BstrFromVariant(caption.get()), caption.get().bstrVal);
    EXPECT_GT(SysStringLen(caption.get().bstrVal), 0u);
  }
}

TEST_F(WmiHelper, LogsTheNamespacePathOnlyWithTheInformationBit) {
  {
    CapturedLog log(0x10);
    Connect(L".");
    EXPECT_TRUE(log.Contains(": Connecting to \\\\.\\root\\cimv2\r\n")) << log.Text();
  }
  {
    CapturedLog log(0x10);
    services_.reset();
    Connect();
    EXPECT_TRUE(log.Contains(": Connecting to root\\cimv2\r\n")) << log.Text();
  }
  CapturedLog quiet(0x09);
  services_.reset();
  Connect(L".");
  EXPECT_EQ(quiet.Text(), "");
}

TEST_F(WmiHelper, KeepsInstancesInEnumeratorOrder) {
  Connect();
  const wchar_t* query = L"SELECT DeviceID FROM Win32_LogicalDisk";
  const std::vector<std::wstring> expected = RawEnumeration(query, L"DeviceID");
  ASSERT_GE(expected.size(), 2u);

  CWbemInstanceList instances(services_);
  instances.Query(query, 0);
  std::vector<std::wstring> listed;
  for (const CWbemInstance& instance : instances) {
    listed.emplace_back(BstrFromVariant(instance.GetProperty(L"DeviceID").get()));
  }
  EXPECT_EQ(listed, expected);
}

TEST_F(WmiHelper, GivesTheSharedEmptyStringForAnyOtherType) {
  Connect();
  CWbemInstanceList instances(services_);
  instances.Query(L"SELECT ProcessId FROM Win32_Process", 0);
  ASSERT_FALSE(instances.empty());
  const unique_variant id = instances.front().GetProperty(L"ProcessId");
  EXPECT_NE(id.get().vt, VT_BSTR);
  const BSTR empty = BstrFromVariant(id.get());
  ASSERT_NE(empty, nullptr);
  EXPECT_EQ(SysStringLen(empty), 0u);

  VARIANT null;
  VariantInit(&null);
  null.vt = VT_NULL;
  VARIANT nothing;
  VariantInit(&nothing);
  VARIANT nullString;
  VariantInit(&nullString);
  nullString.vt = VT_BSTR;
  nullString.bstrVal = nullptr;
  for (const VARIANT* value : {&null, &nothing, &nullString}) EXPECT_EQ(BstrFromVariant(*value), empty);
}

TEST(SharedEmptyString, IsMadeOnceWhenThreadsRaceForIt) {
  VARIANT null;
  VariantInit(&null);
  null.vt = VT_NULL;
  std::vector<BSTR> seen(8, nullptr);
  std::vector<std::thread> threads;
  for (BSTR& slot : seen) threads.emplace_back([&null, &slot] { slot = BstrFromVariant(null); });
  for (std::thread& thread : threads) thread.join();
  ASSERT_NE(seen[0], nullptr);
  for (BSTR text : seen) EXPECT_EQ(text, seen[0]);
}

TEST_F(WmiHelper, ThrowsTheHresultOfAMissingProperty) {
  Connect();
  CWbemInstanceList instances(services_);
  instances.Query(L"SELECT Caption FROM Win32_OperatingSystem", 0);
  ASSERT_EQ(instances.size(), 1u);
  EXPECT_EQ(ThrownHresult([&] { instances.front().GetProperty(L"NoSuchProperty"); }), kNotFound);
  EXPECT_EQ(ThrownHresult([] { CWbemInstance().GetProperty(L"Caption"); }), E_POINTER);
}

TEST_F(WmiHelper, InstanceCopiesHoldTheirOwnReferences) {
  Connect();
  CWbemInstanceList instances(services_);
  instances.Query(L"SELECT Caption FROM Win32_OperatingSystem", 0);
  ASSERT_EQ(instances.size(), 1u);
  IWbemClassObject* object = instances.front().get();
  const ULONG held = object->AddRef() - 1;
  object->Release();
  {
    const CWbemInstance copy = instances.front();
    const CWbemInstance another(object);
    EXPECT_EQ(object->AddRef() - 1, held + 2);
    object->Release();
  }
  EXPECT_EQ(object->AddRef() - 1, held);
  object->Release();
}

// The enumeration ends at the first Next that delivers nothing, whatever it
// says; one that fails as it delivers is thrown. The objects read before stay.
TEST_F(WmiHelper, ANextThatFailsKeepsTheObjectsReadBefore) {
  ScriptedWmiObject first(L"first");
  ScriptedWmiObject second(L"second");
  ScriptedWmi wmi;
  const struct {
    ScriptedWmi::Answer third;
    HRESULT thrown;
  } cases[] = {
      {{WBEM_S_FALSE, nullptr}, S_OK},
      {{WBEM_S_TIMEDOUT, nullptr}, S_OK},
      {{kTransportFailure, nullptr}, S_OK},
      {{kTransportFailure, &first}, kTransportFailure},
  };
  for (const auto& c : cases) {
    wmi.answers = {{S_OK, &first}, {S_OK, &second}, c.third, {S_OK, &second}};
    com_ptr<IWbemServices> services(&wmi);
    CWbemInstanceList instances(services);
    EXPECT_EQ(ThrownHresult([&] { instances.Query(L"SELECT MP FROM SMS_MPInformation", 0); }), c.thrown);
    std::vector<IWbemClassObject*> kept;
    for (const CWbemInstance& instance : instances) kept.push_back(instance.get());
    EXPECT_EQ(kept, (std::vector<IWbemClassObject*>{&first, &second})) << std::hex << c.third.result;
  }
}

TEST_F(WmiHelper, AQueryThatMatchesNothingGivesAnEmptyList) {
  Connect();
  CWbemInstanceList instances(services_);
  EXPECT_EQ(ThrownHresult([&] {
              instances.Query(L"SELECT Caption FROM Win32_OperatingSystem WHERE Caption = 'no such system'", 0);
            }),
            S_OK);
  EXPECT_TRUE(instances.empty());
}

TEST_F(WmiHelper, ThrowsTheHresultOfAFailedQuery) {
  Connect();
  CWbemInstanceList instances(services_);
  const HRESULT error = ThrownHresult([&] { instances.Query(L"SELECT FROM WHERE", 0); });
  EXPECT_EQ(error, kInvalidQuery);
  EXPECT_TRUE(instances.empty());

  com_ptr<IWbemServices> unconnected;
  CWbemInstanceList unbound(unconnected);
  EXPECT_EQ(ThrownHresult([&] { unbound.Query(L"SELECT Caption FROM Win32_OperatingSystem", 0); }), E_POINTER);
}

// An empty user or password stands for the caller's own identity, as none.
TEST_F(WmiHelper, EmptyUserAndPasswordReachTheLocatorAsNull) {
  ScriptedWmi wmi;
  const struct {
    const wchar_t* user;
    const wchar_t* password;
    bool userGiven;
    bool passwordGiven;
  } cases[] = {{nullptr, nullptr, false, false},
               {L"", L"", false, false},
               {L"", L"secret", false, true},
               {L"admin", L"", true, false}};
  for (const auto& c : cases) {
    com_ptr<IWbemServices> services;
    WbemConnectServer(services, L".", L"root\\cimv2", c.user, c.password, RPC_C_AUTHN_LEVEL_PKT,
                      RPC_C_IMP_LEVEL_IMPERSONATE);
    EXPECT_EQ(wmi.userGiven, c.userGiven);
    EXPECT_EQ(wmi.passwordGiven, c.passwordGiven);
  }
}

TEST_F(WmiHelper, ThrowsInvalidNamespaceForAMissingNamespace) {
  const HRESULT error = ThrownHresult([&] {
    WbemConnectServer(services_, L".", L"root\\ccm\\LocationServices", nullptr, nullptr, RPC_C_AUTHN_LEVEL_PKT,
                      RPC_C_IMP_LEVEL_IMPERSONATE);
  });
  EXPECT_EQ(error, kInvalidNamespace);
  EXPECT_FALSE(services_);
}

TEST_F(WmiHelper, GivesWmiTextsForHresults) {
  std::string text;
  EXPECT_EQ(GetWmiErrorText(kInvalidNamespace, text), S_OK);
  EXPECT_FALSE(text.empty());
  EXPECT_EQ(text.find('\0'), std::string::npos);

  // Without a status text service the caller's text stays; a service without
  // a text says so.
  ScriptedWmi wmi;
  const struct {
    HRESULT made;
    HRESULT asked;
    const char* text;
  } cases[] = {{REGDB_E_CLASSNOTREG, S_OK, ""}, {S_OK, kFailed, "Get last error failed"}};
  for (const auto& c : cases) {
    wmi.made = c.made;
    wmi.statusText = c.asked;
    std::string scripted;
    EXPECT_EQ(GetWmiErrorText(kInvalidNamespace, scripted), c.made != S_OK ? c.made : c.asked);
    EXPECT_EQ(scripted, c.text);
  }
}

}  // namespace

}  // namespace mardonel
