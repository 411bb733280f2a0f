// The management point check, from the name onwards, against loopback
// listeners; and the real WMI path, which on this platform has no client.
#include <windows.h>
#include <objbase.h>

#include <gtest/gtest.h>

#include <new>
#include <optional>
#include <sstream>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "common/win/com_apartment.h"
#include "common/win/com_error.h"
#include "connection/config_mgr_mp_connection.h"
#include "host_lookup.h"
#include "support/captured_log.h"
#include "support/loopback_listener.h"
#include "support/scripted_wmi.h"
#include "support/seconds_taken.h"
#include "tcp_probe.h"

namespace mardonel {

namespace {

constexpr std::uint32_t kInfo = 0x10 | 0x09;
constexpr std::uint32_t kQuiet = 0x09;

// A check of `name` whose HTTPS port is one of the test's choosing: the
// machine's own 443 is no test's to count on.
ConfigMgrMPConnection CheckOf(std::wstring name, unsigned short httpsPort = ClosedLoopbackPort()) {
  return ConfigMgrMPConnection([name] { return std::optional<std::wstring>(name); }, httpsPort);
}

std::wstring LoopbackName(unsigned short port) { return L"127.0.0.1:" + std::to_wstring(port); }

std::string LoopbackUrl(unsigned short port) {
  return "http://127.0.0.1:" + std::to_string(port) + "//sms_MP//.sms_aut?MPLIST";
}

// Runs `job` on a thread of its own, whose COM state the test controls.
template <typename Job>
void OnFreshThread(Job job) {
  std::thread thread(job);
  thread.join();
}

TEST(Connectivity, ListeningLoopbackPortIsReachableWithoutTraffic) {
  LoopbackListener listener;
  CapturedLog log(kInfo);
  ConfigMgrMPConnection connection = CheckOf(LoopbackName(listener.port()));
  EXPECT_TRUE(connection.IsAvailable());
  EXPECT_TRUE(connection.TestConnectivity());
  EXPECT_EQ(connection.LastLocalAddress(), std::optional<std::uint32_t>(0x0100007Fu)) << "127.0.0.1";
  EXPECT_EQ(listener.AcceptAndCountBytes(2000), 0) << "one connection, closed without a byte";
  EXPECT_TRUE(log.Contains(": Testing connectivity to " + LoopbackUrl(listener.port()) + "\r\n")) << log.Text();
  EXPECT_FALSE(log.Contains("failed")) << log.Text();
}

TEST(Connectivity, ClosedPortsAreUnreachableAtOnceAndBothNamed) {
  const unsigned short port = ClosedLoopbackPort();
  const unsigned short httpsPort = ClosedLoopbackPort();
  CapturedLog log(kInfo);
  ConfigMgrMPConnection connection = CheckOf(LoopbackName(port), httpsPort);
  bool reachable = true;
  EXPECT_LT(SecondsTaken([&] { reachable = connection.TestConnectivity(); }), 2.0);
  EXPECT_FALSE(reachable);
  EXPECT_EQ(connection.LastLocalAddress(), std::nullopt);
  const std::string failure = ": Connection to 127.0.0.1 port " + std::to_string(port) + " or " +
                              std::to_string(httpsPort) + " failed, Connection refused.";
  EXPECT_EQ(log.CountEndingWith(failure), 1) << log.Text();
}

TEST(Connectivity, UnansweredConnectionGivesUpWithinFiveSeconds) {
  LoopbackListener listener;
  listener.FillBacklog();
  CapturedLog log(kInfo);
  ConfigMgrMPConnection connection = CheckOf(LoopbackName(listener.port()), listener.port());
  bool reachable = true;
  const double seconds = SecondsTaken([&] { reachable = connection.TestConnectivity(); });
  EXPECT_FALSE(reachable);
  EXPECT_GT(seconds, 4.0);
  EXPECT_LT(seconds, 6.5);
  EXPECT_TRUE(log.Contains(": Connection to 127.0.0.1 port " + std::to_string(listener.port()) + " failed, "))
      << "one port when the address names the HTTPS port itself: " << log.Text();
}

// A point that serves clients over HTTPS only refuses or drops the address's
// own port: either port answering makes it reachable, without waiting for
// the other.
TEST(Connectivity, AnswerOnEitherPortIsReachableAtOnce) {
  enum class Port { kListening, kUnanswered, kClosed };
  const struct {
    Port own;
    Port https;
  } cases[] = {
      {Port::kListening, Port::kClosed}, {Port::kClosed, Port::kListening}, {Port::kUnanswered, Port::kListening}};
  for (const auto& c : cases) {
    LoopbackListener own;
    LoopbackListener https;
    const auto numberOf = [](LoopbackListener& listener, Port port) {
      if (port == Port::kClosed) return ClosedLoopbackPort();
      if (port == Port::kUnanswered) listener.FillBacklog();
      return listener.port();
    };
    ConfigMgrMPConnection connection = CheckOf(LoopbackName(numberOf(own, c.own)), numberOf(https, c.https));
    bool reachable = false;
    EXPECT_LT(SecondsTaken([&] { reachable = connection.TestConnectivity(); }), 2.0);
    EXPECT_TRUE(reachable);
    EXPECT_EQ((c.own == Port::kListening ? own : https).AcceptAndCountBytes(2000), 0);
  }
}

// A resolver of names that list loopback addresses, "4:port" for 127.0.0.1
// and "6:port" for ::1, separated by spaces: a point with several addresses.
INT WSAAPI ListingLookup(PCWSTR name, PCWSTR, DWORD space, LPGUID provider, const ADDRINFOEXW* hints,
                         PADDRINFOEXW* result, PTIMEVAL, LPOVERLAPPED, LPLOOKUPSERVICE_COMPLETION_ROUTINE, LPHANDLE) {
  std::wistringstream entries(name);
  std::wstring entry;
  PADDRINFOEXW* tail = result;
  while (entries >> entry) {
    const INT error = GetAddrInfoExW(entry[0] == L'6' ? L"::1" : L"127.0.0.1", entry.c_str() + 2, space, provider,
                                     hints, tail, nullptr, nullptr, nullptr, nullptr);
    if (error != 0) return error;
    while (*tail != nullptr) tail = reinterpret_cast<PADDRINFOEXW*>(&(*tail)->ai_next);
  }
  return 0;
}

// A point's addresses in the listing resolver's form, from a code of family
// and kind each: "4L 6B 4R" is 127.0.0.1 listening, ::1 a black hole (a
// listener whose backlog is full, so connections to it hang), 127.0.0.1
// refusing.
struct PointAddresses {
  std::string Listed(const std::string& code) {
    std::istringstream entries(code);
    std::string entry;
    std::string listed;
    while (entries >> entry) {
      const bool ipv6 = entry[0] == '6';
      const unsigned short port = entry[1] == 'R'   ? ClosedLoopbackPort()
                                  : entry[1] == 'L' ? (ipv6 ? listening6 : listening4).port()
                                                    : (ipv6 ? blackHole6 : blackHole4).port();
      listed += std::string(ipv6 ? " 6:" : " 4:") + std::to_string(port);
    }
    return listed;
  }

  LoopbackListener listening4;
  LoopbackListener listening6{AF_INET6};
  LoopbackListener blackHole4;
  LoopbackListener blackHole6{AF_INET6};
};

DWORD Probe(const std::string& listed, DWORD bound, std::uint32_t& localAddress, double& seconds,
            const HostResolver& resolver = {ListingLookup}) {
  DWORD error = ERROR_INVALID_FUNCTION;
  seconds = SecondsTaken([&] { error = ProbeTcpConnection(listed.c_str(), 80, 0, bound, localAddress, resolver); });
  return error;
}

// A point's addresses are tried IPv4 first, each starting 250 ms after the
// one before while that one still waits; the first connection answers, and
// all wait one bound together.
TEST(Connectivity, ProbeStaggersAPointsAddressesWithinOneBound) {
  PointAddresses point;
  point.blackHole4.FillBacklog();
  point.blackHole6.FillBacklog();
  const struct {
    const char* code;
    DWORD bound;
    DWORD error;
    std::uint32_t localAddress;
    double atLeast;
    double below;
  } cases[] = {
      {"4B 4L", 5000, 0, 0x0100007F, 0.0, 2.0},
      {"4B 4B 6L", 5000, 0, 0, 0.0, 2.0},
      {"6L 4L", 5000, 0, 0x0100007F, 0.0, 2.0},
      {"4R 6R", 5000, WSAECONNREFUSED, 0, 0.0, 2.0},
      // A refused address holds the next one back for no time at all.
      {"4R 4R 4R 4R 6R 6R 6R 6R 6L", 5000, 0, 0, 0.0, 1.0},
      // A bound of its own for each address would end after 2.25 s.
      {"4B 4B 6B 4B 6B 4B", 1000, WSAETIMEDOUT, 0, 0.9, 1.6},
  };
  for (const auto& c : cases) {
    std::uint32_t localAddress = 1;
    double seconds = 0;
    EXPECT_EQ(Probe(point.Listed(c.code), c.bound, localAddress, seconds), c.error) << c.code;
    EXPECT_EQ(localAddress, c.localAddress) << c.code;
    EXPECT_GE(seconds, c.atLeast) << c.code;
    EXPECT_LT(seconds, c.below) << c.code;
    if (c.error == 0) {
      EXPECT_EQ((c.localAddress != 0 ? point.listening4 : point.listening6).AcceptAndCountBytes(2000), 0) << c.code;
    }
  }
  EXPECT_EQ(point.listening6.AcceptAndCountBytes(100), -1) << "IPv4 answered first";
}

// An address refused only after most of the bound leaves the others no
// more than what remains of it.
TEST(Connectivity, AddressRefusedLateLeavesTheOthersOnlyTheRestOfTheBound) {
  PointAddresses point;
  point.blackHole6.FillBacklog();
  for (const bool others : {false, true}) {
    // Closed while the probe waits: its next try of the same connection is refused.
    std::optional<LoopbackListener> closing(std::in_place);
    closing->FillBacklog();
    std::string listed = " 4:" + std::to_string(closing->port());
    if (others) listed += point.Listed("6B 6B");
    std::thread closer([&] {
      Sleep(300);
      closing.reset();
    });
    std::uint32_t localAddress = 0;
    double seconds = 0;
    const DWORD error = Probe(listed, 1500, localAddress, seconds);
    closer.join();
    EXPECT_EQ(error, static_cast<DWORD>(others ? WSAETIMEDOUT : WSAECONNREFUSED)) << listed;
    EXPECT_GT(seconds, others ? 1.4 : 0.5) << listed;
    EXPECT_LT(seconds, others ? 2.0 : 1.5) << listed;
  }
}

// Resolvers of listed names that are slow or never answer, with the calls
// of the platform's asynchronous one; cancelling fails, as under Wine.
INT WSAAPI SlowLookup(PCWSTR name, PCWSTR service, DWORD space, LPGUID provider, const ADDRINFOEXW* hints,
                      PADDRINFOEXW* result, PTIMEVAL, LPOVERLAPPED overlapped, LPLOOKUPSERVICE_COMPLETION_ROUTINE,
                      LPHANDLE) {
  ADDRINFOEXW* found = nullptr;
  const INT error = ListingLookup(name, service, space, provider, hints, &found, nullptr, nullptr, nullptr, nullptr);
  if (error != 0) return error;
  std::thread([found, result, overlapped] {
    // Most of a 1-second bound; and off the 250 ms steps, so that the
    // addresses' slots do not end with a 5-second one.
    Sleep(900);
    *result = found;
    SetEvent(overlapped->hEvent);
  }).detach();
  return WSA_IO_PENDING;
}
INT WSAAPI SilentLookup(PCWSTR, PCWSTR, DWORD, LPGUID, const ADDRINFOEXW*, PADDRINFOEXW*, PTIMEVAL, LPOVERLAPPED,
                        LPLOOKUPSERVICE_COMPLETION_ROUTINE, LPHANDLE) {
  return WSA_IO_PENDING;
}
INT WSAAPI RefusedCancel(LPHANDLE) { return WSA_INVALID_HANDLE; }
INT WSAAPI LookupSucceeded(LPOVERLAPPED) { return 0; }

// The lookup's time comes out of the probe's one bound, a lookup that never
// answers ends with it, and so does the slot of an address started less
// than 250 ms before it.
TEST(Connectivity, SlowOrSilentResolverKeepsTheProbeWithinItsOneBound) {
  PointAddresses point;
  point.blackHole4.FillBacklog();
  const HostResolver slow{SlowLookup, RefusedCancel, LookupSucceeded};
  std::string silentAddresses;
  for (int address = 0; address < 18; ++address) silentAddresses += "4B ";
  const struct {
    HostResolver resolver;
    std::string listed;
    DWORD bound;
  } cases[] = {
      {slow, point.Listed("4B"), 1000},
      {{SilentLookup, RefusedCancel, LookupSucceeded}, point.Listed("4B"), 1000},
      // Slots from 0.9 s on: the seventeenth starts at 4.9 s.
      {slow, point.Listed(silentAddresses), 5000},
  };
  for (const auto& c : cases) {
    std::uint32_t localAddress = 1;
    double seconds = 0;
    EXPECT_EQ(Probe(c.listed, c.bound, localAddress, seconds, c.resolver), static_cast<DWORD>(WSAETIMEDOUT))
        << c.listed;
    EXPECT_GT(seconds, c.bound / 1000.0 - 0.02) << c.listed;
    EXPECT_LT(seconds, c.bound / 1000.0 + 0.1) << "one bound for the lookup and the connections: " << c.listed;
  }
}

TEST(Connectivity, FailureLinesOfTheProbeNeedTheInformationBit) {
  CapturedLog log(kQuiet);
  ConfigMgrMPConnection connection = CheckOf(LoopbackName(ClosedLoopbackPort()));
  EXPECT_FALSE(connection.TestConnectivity());
  EXPECT_EQ(log.Text(), "");
}

TEST(Connectivity, AnAddressWinInetCannotTakeApartIsLoggedWhateverTheDebugMask) {
  CapturedLog log(kQuiet);
  EXPECT_FALSE(ConfigMgrMPConnection().TestUrl("no address at all"));
  EXPECT_TRUE(log.Contains(": InternetCrackUrl failed, ")) << log.Text();
}

TEST(Connectivity, NameTooLongForTheAddressEndsTheCheck) {
  CapturedLog log(kInfo);
  ConfigMgrMPConnection connection = CheckOf(std::wstring(300, L'a'));
  EXPECT_FALSE(connection.TestConnectivity());
  EXPECT_TRUE(log.Contains("Management point name of 300 characters is too long")) << log.Text();
  EXPECT_FALSE(log.Contains("Testing connectivity")) << log.Text();
}

TEST(Connectivity, NameWithLineBreaksIsRefusedBeforeItReachesALogLine) {
  CapturedLog log(kInfo);
  LoopbackListener listener;
  const std::wstring name = L"127.0.0.1:" + std::to_wstring(listener.port()) + L"\r\n12/7/2026 10:00:00: forged";
  ConfigMgrMPConnection connection = CheckOf(name);
  EXPECT_FALSE(connection.TestConnectivity());
  EXPECT_TRUE(log.Contains("Management point name holds control characters")) << log.Text();
  EXPECT_FALSE(log.Contains("forged")) << log.Text();
}

TEST(Connectivity, EmptyNameIsUnreachable) {
  CapturedLog log(kInfo);
  ConfigMgrMPConnection connection = CheckOf(L"");
  EXPECT_FALSE(connection.TestConnectivity());
  EXPECT_TRUE(log.Contains(": Testing connectivity to http:////sms_MP//.sms_aut?MPLIST\r\n")) << log.Text();
}

TEST(Connectivity, NoManagementPointGivesFalseSilently) {
  CapturedLog log(kInfo);
  ConfigMgrMPConnection connection([] { return std::optional<std::wstring>(); });
  EXPECT_FALSE(connection.TestConnectivity());
  EXPECT_EQ(log.Text(), "");
}

// Of two management points only the first the client lists is tried.
TEST(Connectivity, OnlyTheFirstOfTwoManagementPointsIsTried) {
  const ComApartment apartment(COINIT_MULTITHREADED);
  LoopbackListener listening;
  ScriptedWmiObject answers(LoopbackName(listening.port()));
  ScriptedWmiObject refuses(LoopbackName(ClosedLoopbackPort()));
  ScriptedWmi wmi;
  for (const bool firstAnswers : {false, true}) {
    wmi.answers = {{S_OK, firstAnswers ? &answers : &refuses}, {S_OK, firstAnswers ? &refuses : &answers}};
    EXPECT_EQ(ConfigMgrMPConnection(QueryManagementPointName, ClosedLoopbackPort()).TestConnectivity(), firstAnswers);
    EXPECT_EQ(listening.AcceptAndCountBytes(firstAnswers ? 2000 : 100), firstAnswers ? 0 : -1);
  }
}

TEST(Connectivity, ThrownFailuresAreLoggedWhateverTheDebugMask) {
  CapturedLog log(kQuiet);
  ConfigMgrMPConnection hresult(
      []() -> std::optional<std::wstring> { throw ComError(static_cast<HRESULT>(0x80041002)); });
  EXPECT_FALSE(hresult.TestConnectivity());
  ConfigMgrMPConnection wrapper([]() -> std::optional<std::wstring> { throw std::bad_alloc(); });
  EXPECT_FALSE(wrapper.TestConnectivity());

  const std::string text = log.Text();
  EXPECT_NE(
      text.find(" INFO: Catching and handling HRESULT exception .\\ConfigMgrMPConnection.cpp:30 (0x80041002)\n\t"),
      std::string::npos)
      << text;
  EXPECT_NE(text.find(" WARNING: Caught and handled general exception .\\ConfigMgrMPConnection.cpp:30\r\n"),
            std::string::npos)
      << text;
}

TEST(Connectivity, WithoutTheManagementClientTheNamespaceIsMissing) {
  CapturedLog log(kInfo);
  ConfigMgrMPConnection connection;
  EXPECT_FALSE(connection.TestConnectivity());
  const std::string text = log.Text();
  EXPECT_NE(text.find(": Connecting to \\\\.\\root\\ccm\\LocationServices\r\n"), std::string::npos) << text;
  const std::size_t line = text.find("HRESULT exception .\\ConfigMgrMPConnection.cpp:30 (0x8004100E)\n\t");
  ASSERT_NE(line, std::string::npos) << text;
  const std::size_t wmiText = text.find('\t', line) + 1;
  EXPECT_NE(text.substr(wmiText, 2), "\r\n") << "the WMI text of the failure follows";
}

TEST(Connectivity, SingleThreadedApartmentGetsFalse) {
  CapturedLog log(kInfo);
  OnFreshThread([] {
    ASSERT_EQ(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED), S_OK);
    LoopbackListener listener;
    EXPECT_FALSE(CheckOf(LoopbackName(listener.port())).TestConnectivity());
    CoUninitialize();
  });
  EXPECT_TRUE(log.Contains(": CoInitializeEx failed. Returning failed connectivity status.\r\n")) << log.Text();
  EXPECT_FALSE(log.Contains("Testing connectivity")) << log.Text();
}

TEST(Connectivity, LeavesTheThreadsComInitialisationAsItFoundIt) {
  LoopbackListener listener;
  OnFreshThread([&] {
    ASSERT_EQ(CoInitializeEx(nullptr, COINIT_MULTITHREADED), S_OK);
    EXPECT_TRUE(CheckOf(LoopbackName(listener.port())).TestConnectivity());
    EXPECT_EQ(CoInitializeEx(nullptr, COINIT_MULTITHREADED), S_FALSE) << "still in the apartment";
    CoUninitialize();
    CoUninitialize();
  });
  OnFreshThread([&] {
    EXPECT_TRUE(CheckOf(LoopbackName(listener.port())).TestConnectivity());
    EXPECT_FALSE(CheckOf(L"").TestConnectivity());
    EXPECT_FALSE(ConfigMgrMPConnection().TestConnectivity());
    // Left without COM: a single-threaded apartment can be entered now.
    EXPECT_EQ(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED), S_OK);
    CoUninitialize();
  });
}

}  // namespace

}  // namespace mardonel
