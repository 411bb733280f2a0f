// A host as the Microsoft compiler builds it: the interface declared with a
// virtual destructor, the module driven by ordinary virtual calls and freed
// by delete. Built by clang for the Microsoft C++ ABI without any runtime, so
// it names the few kernel32 and advapi32 parts it needs itself.
//
// MARDONEL_MSABI_FOLDER names a scratch folder: the all-users profile and the
// log go there. The registry is overridden by a scratch key of the current
// user, so the module never touches the machine's own settings.

using DWORD = unsigned long;
using LONG = long;
using BOOL = int;
using HANDLE = void*;
using HKEY = void*;
using ULONG_PTR = unsigned long long;
using UINT16 = unsigned short;
using INT32 = int;

struct FILETIME {
  DWORD low;
  DWORD high;
};

struct CRITICAL_SECTION {
  void* debugInfo;
  LONG lockCount;
  LONG recursionCount;
  HANDLE owningThread;
  HANDLE lockSemaphore;
  ULONG_PTR spinCount;
};

struct WIN32_FIND_DATAA {
  DWORD attributes;
  FILETIME creation;
  FILETIME lastAccess;
  FILETIME lastWrite;
  DWORD sizeHigh;
  DWORD sizeLow;
  DWORD reserved0;
  DWORD reserved1;
  char fileName[260];
  char alternateFileName[14];
};

extern "C" {
__declspec(dllimport) HANDLE __stdcall LoadLibraryA(const char* name);
__declspec(dllimport) void* __stdcall GetProcAddress(HANDLE module, const char* name);
__declspec(dllimport) BOOL __stdcall FreeLibrary(HANDLE module);
__declspec(dllimport) HANDLE __stdcall GetStdHandle(DWORD which);
__declspec(dllimport) BOOL
    __stdcall WriteFile(HANDLE file, const void* data, DWORD size, DWORD* written, void* overlapped);
__declspec(dllimport) BOOL __stdcall ReadFile(HANDLE file, void* data, DWORD size, DWORD* read, void* overlapped);
__declspec(dllimport) HANDLE __stdcall CreateFileA(const char* name, DWORD access, DWORD share, void* security,
                                                   DWORD disposition, DWORD flags, HANDLE model);
__declspec(dllimport) BOOL __stdcall CloseHandle(HANDLE handle);
__declspec(dllimport) HANDLE __stdcall FindFirstFileA(const char* pattern, WIN32_FIND_DATAA* found);
__declspec(dllimport) BOOL __stdcall FindNextFileA(HANDLE search, WIN32_FIND_DATAA* found);
__declspec(dllimport) BOOL __stdcall FindClose(HANDLE search);
__declspec(dllimport) DWORD __stdcall GetEnvironmentVariableA(const char* name, char* value, DWORD size);
__declspec(dllimport) BOOL __stdcall SetEnvironmentVariableA(const char* name, const char* value);
__declspec(dllimport) DWORD __stdcall GetCurrentProcessId();
__declspec(dllimport) void __stdcall GetSystemTimeAsFileTime(FILETIME* now);
__declspec(dllimport) void __stdcall InitializeCriticalSection(CRITICAL_SECTION* section);
__declspec(dllimport) void __stdcall DeleteCriticalSection(CRITICAL_SECTION* section);
__declspec(dllimport) __declspec(noreturn) void __stdcall ExitProcess(unsigned int code);

// What a compiler without its runtime still expects to find.
int _fltused = 0;
int __cdecl _purecall() { ExitProcess(3); }
}
void __cdecl operator delete(void*, unsigned long long) {}

namespace {

// The interface exactly as the host's header declares it.
struct HostAddressEntry {
  DWORD addressWord;
  DWORD maskWord;
};

struct HostAddressTable {
  CRITICAL_SECTION lock;
  HostAddressEntry** first;
  HostAddressEntry** last;
};

class IAgentModule {
 public:
  virtual ~IAgentModule() {}
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
};

using GetModule = IAgentModule* (*)(void* unused);

// The registry calls, from advapi32 as loaded at run time.
struct Registry {
  LONG(__stdcall* createKey)(HKEY, const char*, DWORD, char*, DWORD, DWORD, void*, HKEY*, DWORD*);
  LONG(__stdcall* setValue)(HKEY, const char*, DWORD, DWORD, const void*, DWORD);
  LONG(__stdcall* overridePredefined)(HKEY, HKEY);
  LONG(__stdcall* deleteTree)(HKEY, const char*);
  LONG(__stdcall* closeKey)(HKEY);
};

HKEY const kCurrentUser = reinterpret_cast<HKEY>(static_cast<ULONG_PTR>(static_cast<LONG>(0x80000001)));
HKEY const kLocalMachine = reinterpret_cast<HKEY>(static_cast<ULONG_PTR>(static_cast<LONG>(0x80000002)));
constexpr DWORD kAllAccess = 0xF003F;
constexpr DWORD kRegSz = 1;
HANDLE const kInvalidHandle = reinterpret_cast<HANDLE>(~0ULL);

int failures = 0;

unsigned Length(const char* text) {
  unsigned length = 0;
  while (text[length] != '\0') ++length;
  return length;
}

void Print(const char* text) {
  DWORD written = 0;
  WriteFile(GetStdHandle(static_cast<DWORD>(-11)), text, Length(text), &written, nullptr);
}

void Check(bool good, const char* what) {
  Print(good ? "ok   " : "FAIL ");
  Print(what);
  Print("\n");
  if (!good) ++failures;
}

// A fixed-size text, enough for the paths and records here.
struct Text {
  char chars[1024];
  unsigned length = 0;
  Text() { chars[0] = '\0'; }
  Text& operator<<(const char* more) {
    while (*more != '\0' && length + 1 < sizeof chars) chars[length++] = *more++;
    chars[length] = '\0';
    return *this;
  }
  Text& operator<<(unsigned long long number) {
    char digits[24];
    int count = 0;
    do {
      digits[count++] = static_cast<char>('0' + number % 10);
      number /= 10;
    } while (number != 0);
    char reversed[24];
    for (int i = 0; i < count; ++i) reversed[i] = digits[count - 1 - i];
    reversed[count] = '\0';
    return *this << reversed;
  }
  bool Contains(const char* piece) const {
    const unsigned size = Length(piece);
    for (unsigned start = 0; start + size <= length; ++start) {
      unsigned same = 0;
      while (same < size && chars[start + same] == piece[same]) ++same;
      if (same == size) return true;
    }
    return false;
  }
  int Lines() const {
    int lines = 0;
    for (unsigned i = 0; i < length; ++i) lines += chars[i] == '\n' ? 1 : 0;
    return lines;
  }
};

// The one history file in `folder`, read whole; empty when there is none or several.
Text ReadHistory(const char* folder) {
  Text text;
  Text pattern;
  pattern << folder << "*.mgt";
  WIN32_FIND_DATAA found;
  HANDLE search = FindFirstFileA(pattern.chars, &found);
  if (search == kInvalidHandle) return text;
  Text path;
  path << folder << found.fileName;
  const bool several = FindNextFileA(search, &found) != 0;
  FindClose(search);
  if (several) return text;
  HANDLE file = CreateFileA(path.chars, 0x80000000, 7, nullptr, 3, 0x80, nullptr);
  if (file == kInvalidHandle) return text;
  DWORD read = 0;
  ReadFile(file, text.chars, sizeof text.chars - 1, &read, nullptr);
  CloseHandle(file);
  text.length = read;
  text.chars[read] = '\0';
  return text;
}

bool LoadRegistry(Registry& registry) {
  HANDLE advapi = LoadLibraryA("advapi32.dll");
  if (advapi == nullptr) return false;
  registry.createKey = reinterpret_cast<decltype(registry.createKey)>(GetProcAddress(advapi, "RegCreateKeyExA"));
  registry.setValue = reinterpret_cast<decltype(registry.setValue)>(GetProcAddress(advapi, "RegSetValueExA"));
  registry.overridePredefined =
      reinterpret_cast<decltype(registry.overridePredefined)>(GetProcAddress(advapi, "RegOverridePredefKey"));
  registry.deleteTree = reinterpret_cast<decltype(registry.deleteTree)>(GetProcAddress(advapi, "RegDeleteTreeA"));
  registry.closeKey = reinterpret_cast<decltype(registry.closeKey)>(GetProcAddress(advapi, "RegCloseKey"));
  return registry.createKey && registry.setValue && registry.overridePredefined && registry.deleteTree &&
         registry.closeKey;
}

void DriveTheModule(GetModule factory, const char* folder) {
  Text states;
  states << folder << "\\Application Data\\Quarnel\\ToveraAgt\\States\\";

  IAgentModule* module = factory(nullptr);
  Check(module != nullptr, "the factory gives a module");
  if (module == nullptr) return;

  HostAddressEntry entry{10 | (1 << 8) | (2 << 16) | (3 << 24), 255 | (255 << 8)};  // 10.1.2.3/255.255.0.0
  HostAddressEntry* entries[] = {&entry};
  HostAddressTable table;
  InitializeCriticalSection(&table.lock);
  table.first = entries;
  table.last = entries + 1;

  FILETIME before;
  GetSystemTimeAsFileTime(&before);
  Check(module->OnStartup(&table, 0) == 0, "OnStartup answers 0");
  const Text startup = ReadHistory(states.chars);
  Check(startup.Lines() == 1 && startup.Contains(",1,Startup,"), "start-up is recorded as unmanaged");

  Check(module->ReservedA() == 0, "ReservedA answers 0");
  Check(module->ReservedB(1, 2) == 0, "ReservedB answers 0");
  Check(module->ReservedC(-1) == 0, "ReservedC answers 0");
  Check(module->ReservedD(3) == 0, "ReservedD answers 0");
  Check(module->OnHeartbeat(&before) == 0, "OnHeartbeat within the hour answers 0");
  Check(module->ReservedE() == 0, "ReservedE answers 0");
  Check(module->ReservedF() == 0, "ReservedF answers 0");
  Check(module->ReservedG(0xFFFF) == 0, "ReservedG answers 0");
  Check(ReadHistory(states.chars).Lines() == 1, "none of these records anything");

  Check(module->OnSleep() == 0, "OnSleep answers 0");
  Check(module->OnOutOfSuspend() == 0, "OnOutOfSuspend answers 0");
  const Text resumed = ReadHistory(states.chars);
  Check(resumed.Lines() == 2 && resumed.Contains(",1,Out of suspend,"), "the resume is recorded");
  Check(module->OnNetAdaptersChanged(false, false) == 0, "OnNetAdaptersChanged answers 0");
  Check(module->OnShutdown() == 0, "OnShutdown answers 0");
  delete module;
  Check(true, "delete returns");
  DeleteCriticalSection(&table.lock);
}

}  // namespace

extern "C" void start() {
  char folder[512];
  const DWORD length = GetEnvironmentVariableA("MARDONEL_MSABI_FOLDER", folder, sizeof folder);
  Registry registry;
  if (length == 0 || length >= sizeof folder || !LoadRegistry(registry)) {
    Print("needs MARDONEL_MSABI_FOLDER and advapi32\n");
    ExitProcess(2);
  }
  SetEnvironmentVariableA("ALLUSERSPROFILE", folder);

  Text scratchName;
  scratchName << "Software\\MardonelMsAbiHost-" << static_cast<unsigned long long>(GetCurrentProcessId());
  HKEY scratch = nullptr;
  HKEY settings = nullptr;
  Text logFile;
  logFile << folder << "\\agent.log";
  const bool isolated =
      registry.createKey(kCurrentUser, scratchName.chars, 0, nullptr, 0, kAllAccess, nullptr, &scratch, nullptr) == 0 &&
      registry.overridePredefined(kLocalMachine, scratch) == 0 &&
      registry.createKey(kLocalMachine, "Software\\Quarnel\\ToveraAgt", 0, nullptr, 0, kAllAccess, nullptr, &settings,
                         nullptr) == 0 &&
      registry.setValue(settings, "LogFileName", 0, kRegSz, logFile.chars, logFile.length + 1) == 0;
  Check(isolated, "the registry is a scratch key");
  if (settings != nullptr) registry.closeKey(settings);

  HANDLE library = isolated ? LoadLibraryA("Mardonel.dll") : nullptr;
  const GetModule factory =
      library != nullptr ? reinterpret_cast<GetModule>(GetProcAddress(library, "__getMardonel")) : nullptr;
  if (isolated) Check(factory != nullptr, "Mardonel.dll exports its factory");
  if (factory != nullptr) DriveTheModule(factory, folder);
  if (library != nullptr) FreeLibrary(library);

  registry.overridePredefined(kLocalMachine, nullptr);
  if (scratch != nullptr) registry.closeKey(scratch);
  registry.deleteTree(kCurrentUser, scratchName.chars);
  ExitProcess(failures == 0 ? 0 : 1);
}
