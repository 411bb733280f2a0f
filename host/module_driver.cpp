#include "module_driver.h"

#include <cstdio>

#include "common/win/error_text.h"

namespace mardonel {

namespace {

constexpr char kLibraryName[] = "Mardonel.dll";

std::string ProgramFolder() {
  char path[MAX_PATH] = {};
  const DWORD length = GetModuleFileNameA(nullptr, path, sizeof path);
  if (length == 0 || length >= sizeof path) return {};
  std::string folder(path, length);
  return folder.substr(0, folder.find_last_of('\\') + 1);
}

}  // namespace

void PrintStamped(const std::string& text) {
  SYSTEMTIME now;
  GetLocalTime(&now);
  std::printf("%02u:%02u:%02u  %s\n", now.wHour, now.wMinute, now.wSecond, text.c_str());
  std::fflush(stdout);
}

ModuleDriver::~ModuleDriver() { Finish(); }

bool ModuleDriver::Load(std::string& error) {
  const std::string path = ProgramFolder() + kLibraryName;
  library_.reset(LoadLibraryA(path.c_str()));
  if (!library_) {
    error = "cannot load " + path + ": " + ErrorMessage(GetLastError());
    return false;
  }
  const auto factory = reinterpret_cast<Tovera::GetModuleFunction>(
      reinterpret_cast<void*>(GetProcAddress(library_.get(), "__getMardonel")));
  if (factory == nullptr) {
    error = path + " exports no __getMardonel";
    Finish();
    return false;
  }
  module_ = factory(nullptr);
  if (module_ == nullptr) {
    error = "__getMardonel returned no module";
    Finish();
    return false;
  }
  PrintStamped("loaded " + path);
  return true;
}

DWORD ModuleDriver::Call(const std::string& label, const std::function<DWORD(Tovera::IAgentModule&)>& operation) {
  const DWORD result = operation(*module_);
  if (result != ERROR_SUCCESS) ++failures_;
  PrintStamped(label + " -> " + std::to_string(result) +
               (result == ERROR_SUCCESS ? std::string() : " (" + ErrorMessage(result) + ")"));
  return result;
}

DWORD ModuleDriver::Startup(HostAddressTable* table, const std::string& label) {
  started_ = true;
  return Call(label, [table](Tovera::IAgentModule& module) { return module.OnStartup(table, 0); });
}

DWORD ModuleDriver::Shutdown(const std::string& label) {
  started_ = false;
  return Call(label, [](Tovera::IAgentModule& module) { return module.OnShutdown(); });
}

DWORD ModuleDriver::Sleep(const std::string& label) {
  return Call(label, [](Tovera::IAgentModule& module) { return module.OnSleep(); });
}

DWORD ModuleDriver::Resume(const std::string& label) {
  return Call(label, [](Tovera::IAgentModule& module) { return module.OnOutOfSuspend(); });
}

DWORD ModuleDriver::NetAdaptersChanged(bool connected, bool force, const std::string& label) {
  return Call(label, [=](Tovera::IAgentModule& module) { return module.OnNetAdaptersChanged(connected, force); });
}

DWORD ModuleDriver::Heartbeat(const FILETIME& utcNow, const std::string& label) {
  return Call(label, [&utcNow](Tovera::IAgentModule& module) { return module.OnHeartbeat(&utcNow); });
}

void ModuleDriver::Finish() {
  if (module_ != nullptr) {
    if (started_) Shutdown("shutdown (end of run)");
    Tovera::DestroyAgentModule(module_);
    module_ = nullptr;
    PrintStamped("module destroyed");
  }
  if (library_) {
    library_.reset();
    if (GetModuleHandleA(kLibraryName) == nullptr) {
      PrintStamped(std::string(kLibraryName) + " unloaded");
    } else {
      ++failures_;
      PrintStamped(std::string(kLibraryName) + " is still loaded after FreeLibrary");
    }
  }
}

}  // namespace mardonel
