#include "support/scripted_wmi.h"

#include <string_view>

namespace mardonel {

namespace {

template <typename Interface, typename Object>
void OfferAs(Object* object, REFIID iid, void** out) {
  if (*out == nullptr && iid == __uuidof(Interface)) *out = static_cast<Interface*>(object);
}

// Hands out `object` as the interface asked for, IUnknown through the first;
// null and E_NOINTERFACE when it is none of them.
template <typename First, typename... Others, typename Object>
HRESULT Offer(Object* object, REFIID iid, void** out) {
  *out = iid == __uuidof(IUnknown) ? static_cast<First*>(object) : nullptr;
  OfferAs<First>(object, iid, out);
  (OfferAs<Others>(object, iid, out), ...);
  return *out != nullptr ? S_OK : E_NOINTERFACE;
}

}  // namespace

HRESULT ScriptedWmiObject::QueryInterface(REFIID iid, void** out) { return Offer<IWbemClassObject>(this, iid, out); }

HRESULT ScriptedWmiObject::Get(LPCWSTR name, LONG, VARIANT* value, CIMTYPE*, LONG*) {
  if (std::wstring_view(name) != L"MP") return WBEM_E_NOT_FOUND;
  VariantInit(value);
  value->vt = VT_BSTR;
  value->bstrVal = SysAllocString(mp_.c_str());
  return value->bstrVal != nullptr ? S_OK : E_OUTOFMEMORY;
}

ScriptedWmi::ScriptedWmi() {
  CoRegisterClassObject(CLSID_WbemLocator, static_cast<IClassFactory*>(this), CLSCTX_INPROC_SERVER, REGCLS_MULTIPLEUSE,
                        &locatorCookie_);
  CoRegisterClassObject(CLSID_WbemStatusCodeText, static_cast<IClassFactory*>(this), CLSCTX_INPROC_SERVER,
                        REGCLS_MULTIPLEUSE, &statusTextCookie_);
}

ScriptedWmi::~ScriptedWmi() {
  CoRevokeClassObject(locatorCookie_);
  CoRevokeClassObject(statusTextCookie_);
}

HRESULT ScriptedWmi::QueryInterface(REFIID iid, void** out) {
  return Offer<IClassFactory, IWbemLocator, IWbemServices, IClientSecurity, IEnumWbemClassObject, IWbemStatusCodeText>(
      this, iid, out);
}

HRESULT ScriptedWmi::CreateInstance(IUnknown*, REFIID iid, void** out) {
  *out = nullptr;
  return made != S_OK ? made : QueryInterface(iid, out);
}

HRESULT ScriptedWmi::ConnectServer(const BSTR, const BSTR user, const BSTR password, const BSTR, LONG, const BSTR,
                                   IWbemContext*, IWbemServices** services) {
  userGiven = user != nullptr;
  passwordGiven = password != nullptr;
  *services = this;
  return S_OK;
}

HRESULT ScriptedWmi::ExecQuery(const BSTR, const BSTR, LONG, IWbemContext*, IEnumWbemClassObject** enumerator) {
  answered_ = 0;
  *enumerator = this;
  return S_OK;
}

HRESULT ScriptedWmi::Next(LONG, ULONG, IWbemClassObject** objects, ULONG* returned) {
  const Answer answer = answered_ < answers.size() ? answers[answered_++] : Answer{WBEM_S_FALSE, nullptr};
  *objects = answer.object;
  *returned = answer.object != nullptr ? 1 : 0;
  return answer.result;
}

HRESULT ScriptedWmi::GetErrorCodeText(HRESULT, LCID, LONG, BSTR* text) {
  if (statusText != S_OK) return statusText;
  *text = SysAllocString(L"scripted status text");
  return *text != nullptr ? S_OK : E_OUTOFMEMORY;
}

}  // namespace mardonel
