// WMI as a test scripts it, in place of the platform's for the thread's
// apartment: one object stands for the locator, the services, the query's
// enumerator and the status texts; the query delivers ScriptedWmiObject
// values.
#pragma once

#include <windows.h>
#include <wbemcli.h>

#include <string>
#include <utility>
#include <vector>

namespace mardonel {

// A method the code under test never calls.
#define SCRIPTED_WMI_UNUSED(method, ...) \
  HRESULT STDMETHODCALLTYPE method(__VA_ARGS__) override { return WBEM_E_NOT_SUPPORTED; }

// Both kinds live on the test's stack: references are not counted.
#define SCRIPTED_WMI_UNCOUNTED                            \
  ULONG STDMETHODCALLTYPE AddRef() override { return 1; } \
  ULONG STDMETHODCALLTYPE Release() override { return 1; }

// A result object whose one property, "MP", holds a text.
class ScriptedWmiObject : public IWbemClassObject {
 public:
  explicit ScriptedWmiObject(std::wstring mp) : mp_(std::move(mp)) {}

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override;
  SCRIPTED_WMI_UNCOUNTED
  HRESULT STDMETHODCALLTYPE Get(LPCWSTR name, LONG flags, VARIANT* value, CIMTYPE* type, LONG* flavour) override;
  SCRIPTED_WMI_UNUSED(GetQualifierSet, IWbemQualifierSet**)
  SCRIPTED_WMI_UNUSED(Put, LPCWSTR, LONG, VARIANT*, CIMTYPE)
  SCRIPTED_WMI_UNUSED(Delete, LPCWSTR)
  SCRIPTED_WMI_UNUSED(GetNames, LPCWSTR, LONG, VARIANT*, SAFEARRAY**)
  SCRIPTED_WMI_UNUSED(BeginEnumeration, LONG)
  SCRIPTED_WMI_UNUSED(Next, LONG, BSTR*, VARIANT*, CIMTYPE*, LONG*)
  SCRIPTED_WMI_UNUSED(EndEnumeration)
  SCRIPTED_WMI_UNUSED(GetPropertyQualifierSet, LPCWSTR, IWbemQualifierSet**)
  SCRIPTED_WMI_UNUSED(Clone, IWbemClassObject**)
  SCRIPTED_WMI_UNUSED(GetObjectText, LONG, BSTR*)
  SCRIPTED_WMI_UNUSED(SpawnDerivedClass, LONG, IWbemClassObject**)
  SCRIPTED_WMI_UNUSED(SpawnInstance, LONG, IWbemClassObject**)
  SCRIPTED_WMI_UNUSED(CompareTo, LONG, IWbemClassObject*)
  SCRIPTED_WMI_UNUSED(GetPropertyOrigin, LPCWSTR, BSTR*)
  SCRIPTED_WMI_UNUSED(InheritsFrom, LPCWSTR)
  SCRIPTED_WMI_UNUSED(GetMethod, LPCWSTR, LONG, IWbemClassObject**, IWbemClassObject**)
  SCRIPTED_WMI_UNUSED(PutMethod, LPCWSTR, LONG, IWbemClassObject*, IWbemClassObject*)
  SCRIPTED_WMI_UNUSED(DeleteMethod, LPCWSTR)
  SCRIPTED_WMI_UNUSED(BeginMethodEnumeration, LONG)
  SCRIPTED_WMI_UNUSED(NextMethod, LONG, BSTR*, IWbemClassObject**, IWbemClassObject**)
  SCRIPTED_WMI_UNUSED(EndMethodEnumeration)
  SCRIPTED_WMI_UNUSED(GetMethodQualifierSet, LPCWSTR, IWbemQualifierSet**)
  SCRIPTED_WMI_UNUSED(GetMethodOrigin, LPCWSTR, BSTR*)

 private:
  std::wstring mp_;
};

class ScriptedWmi : public IClassFactory,
                    public IWbemLocator,
                    public IWbemServices,
                    public IClientSecurity,
                    public IEnumWbemClassObject,
                    public IWbemStatusCodeText {
 public:
  // Takes the place of the platform's locator and status texts until it
  // goes; COM must be initialised on the thread.
  ScriptedWmi();
  ~ScriptedWmi();
  ScriptedWmi(const ScriptedWmi&) = delete;
  ScriptedWmi& operator=(const ScriptedWmi&) = delete;

  // One answer of the enumerator; without an object it delivers none.
  struct Answer {
    HRESULT result;
    IWbemClassObject* object;
  };

  // The script.
  HRESULT made = S_OK;          // what making a locator or a status text object gives
  std::vector<Answer> answers;  // then WBEM_S_FALSE without an object
  HRESULT statusText = S_OK;    // what asking for a status text gives
  // What the code asked.
  bool userGiven = false;      // the user and password that reached the locator were
  bool passwordGiven = false;  // not null

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override;
  SCRIPTED_WMI_UNCOUNTED

  HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown* outer, REFIID iid, void** out) override;
  HRESULT STDMETHODCALLTYPE LockServer(WINBOOL) override { return S_OK; }

  HRESULT STDMETHODCALLTYPE ConnectServer(const BSTR path, const BSTR user, const BSTR password, const BSTR locale,
                                          LONG flags, const BSTR authority, IWbemContext* context,
                                          IWbemServices** services) override;

  HRESULT STDMETHODCALLTYPE ExecQuery(const BSTR language, const BSTR query, LONG flags, IWbemContext* context,
                                      IEnumWbemClassObject** enumerator) override;
  SCRIPTED_WMI_UNUSED(OpenNamespace, const BSTR, LONG, IWbemContext*, IWbemServices**, IWbemCallResult**)
  SCRIPTED_WMI_UNUSED(CancelAsyncCall, IWbemObjectSink*)
  SCRIPTED_WMI_UNUSED(QueryObjectSink, LONG, IWbemObjectSink**)
  SCRIPTED_WMI_UNUSED(GetObject, const BSTR, LONG, IWbemContext*, IWbemClassObject**, IWbemCallResult**)
  SCRIPTED_WMI_UNUSED(GetObjectAsync, const BSTR, LONG, IWbemContext*, IWbemObjectSink*)
  SCRIPTED_WMI_UNUSED(PutClass, IWbemClassObject*, LONG, IWbemContext*, IWbemCallResult**)
  SCRIPTED_WMI_UNUSED(PutClassAsync, IWbemClassObject*, LONG, IWbemContext*, IWbemObjectSink*)
  SCRIPTED_WMI_UNUSED(DeleteClass, const BSTR, LONG, IWbemContext*, IWbemCallResult**)
  SCRIPTED_WMI_UNUSED(DeleteClassAsync, const BSTR, LONG, IWbemContext*, IWbemObjectSink*)
  SCRIPTED_WMI_UNUSED(CreateClassEnum, const BSTR, LONG, IWbemContext*, IEnumWbemClassObject**)
  SCRIPTED_WMI_UNUSED(CreateClassEnumAsync, const BSTR, LONG, IWbemContext*, IWbemObjectSink*)
  SCRIPTED_WMI_UNUSED(PutInstance, IWbemClassObject*, LONG, IWbemContext*, IWbemCallResult**)
  SCRIPTED_WMI_UNUSED(PutInstanceAsync, IWbemClassObject*, LONG, IWbemContext*, IWbemObjectSink*)
  SCRIPTED_WMI_UNUSED(DeleteInstance, const BSTR, LONG, IWbemContext*, IWbemCallResult**)
  SCRIPTED_WMI_UNUSED(DeleteInstanceAsync, const BSTR, LONG, IWbemContext*, IWbemObjectSink*)
  SCRIPTED_WMI_UNUSED(CreateInstanceEnum, const BSTR, LONG, IWbemContext*, IEnumWbemClassObject**)
  SCRIPTED_WMI_UNUSED(CreateInstanceEnumAsync, const BSTR, LONG, IWbemContext*, IWbemObjectSink*)
  SCRIPTED_WMI_UNUSED(ExecQueryAsync, const BSTR, const BSTR, LONG, IWbemContext*, IWbemObjectSink*)
  SCRIPTED_WMI_UNUSED(ExecNotificationQuery, const BSTR, const BSTR, LONG, IWbemContext*, IEnumWbemClassObject**)
  SCRIPTED_WMI_UNUSED(ExecNotificationQueryAsync, const BSTR, const BSTR, LONG, IWbemContext*, IWbemObjectSink*)
  SCRIPTED_WMI_UNUSED(ExecMethod, const BSTR, const BSTR, LONG, IWbemContext*, IWbemClassObject*, IWbemClassObject**,
                      IWbemCallResult**)
  SCRIPTED_WMI_UNUSED(ExecMethodAsync, const BSTR, const BSTR, LONG, IWbemContext*, IWbemClassObject*, IWbemObjectSink*)

  // The proxy blanket has nothing to set on an object of this process.
  HRESULT STDMETHODCALLTYPE SetBlanket(IUnknown*, DWORD, DWORD, OLECHAR*, DWORD, DWORD, void*, DWORD) override {
    return S_OK;
  }
  SCRIPTED_WMI_UNUSED(QueryBlanket, IUnknown*, DWORD*, DWORD*, OLECHAR**, DWORD*, DWORD*, void**, DWORD*)
  SCRIPTED_WMI_UNUSED(CopyProxy, IUnknown*, IUnknown**)

  HRESULT STDMETHODCALLTYPE Next(LONG timeout, ULONG count, IWbemClassObject** objects, ULONG* returned) override;
  SCRIPTED_WMI_UNUSED(Reset)
  SCRIPTED_WMI_UNUSED(NextAsync, ULONG, IWbemObjectSink*)
  SCRIPTED_WMI_UNUSED(Clone, IEnumWbemClassObject**)
  SCRIPTED_WMI_UNUSED(Skip, LONG, ULONG)

  HRESULT STDMETHODCALLTYPE GetErrorCodeText(HRESULT error, LCID locale, LONG flags, BSTR* text) override;
  SCRIPTED_WMI_UNUSED(GetFacilityCodeText, HRESULT, LCID, LONG, BSTR*)

 private:
  DWORD locatorCookie_ = 0;
  DWORD statusTextCookie_ = 0;
  std::size_t answered_ = 0;  // of the query under way
};

}  // namespace mardonel
