// State evaluations while the host changes its address table from another
// thread, under the table's lock, between the module's single reads.
#include <windows.h>

#include <gtest/gtest.h>

#include <atomic>
#include <memory>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "common/registry/setting_names.h"
#include "module/mardonel.h"
#include "stress_env.h"
#include "support/managed_subnets_env.h"
#include "support/profile_folder.h"
#include "support/scratch_registry.h"
#include "support/temp_folder.h"
#include "support/test_host_table.h"
#include "support/test_registry.h"
#include "support/text_lines.h"
#include "support/whole_file.h"

namespace mardonel {

namespace {

constexpr int kEvaluations = 10000;
constexpr std::size_t kMostEntries = 6;

// A table whose pointer slots past the last entry lead to a poisoned subnet,
// and whose removed entries are poisoned before they are freed: a module
// that read past the count, or kept an entry across two reads, would find
// that subnet, which it remembers, and turn managed.
class PoisonedTable {
 public:
  static constexpr char kPoisonAddress[] = "203.0.113.7";
  static constexpr char kPoisonMask[] = "255.255.255.0";

  PoisonedTable() {
    InitializeCriticalSection(&table_.lock);
    for (HostAddressEntry*& slot : slots_) slot = &poison_;
    Publish();
  }
  ~PoisonedTable() {
    for (std::size_t index = 0; index < count_; ++index) delete slots_[index];
    DeleteCriticalSection(&table_.lock);
  }
  PoisonedTable(const PoisonedTable&) = delete;
  PoisonedTable& operator=(const PoisonedTable&) = delete;

  HostAddressTable* get() { return &table_; }

  // Adds an entry on 10.<n>.0.0/16, or removes one from anywhere in the table.
  void Change(std::mt19937& random) {
    EnterCriticalSection(&table_.lock);
    const bool add = count_ == 0 || (count_ < kMostEntries && random() % 2 == 0);
    if (add) {
      const DWORD address = 10 | ((1 + random() % 200) << 8) | ((random() % 256) << 16) | (7u << 24);
      slots_[count_++] = new HostAddressEntry{address, DottedToWord("255.255.0.0")};
    } else {
      const std::size_t victim = random() % count_;
      HostAddressEntry* removed = slots_[victim];
      for (std::size_t index = victim; index + 1 < count_; ++index) slots_[index] = slots_[index + 1];
      slots_[--count_] = &poison_;
      *removed = poison_;
      delete removed;
    }
    Publish();
    LeaveCriticalSection(&table_.lock);
  }

 private:
  void Publish() {
    table_.first = slots_;
    table_.last = slots_ + count_;
  }

  HostAddressTable table_;
  HostAddressEntry poison_{DottedToWord(kPoisonAddress), DottedToWord(kPoisonMask)};
  HostAddressEntry* slots_[kMostEntries + 4];
  std::size_t count_ = 0;
};

// Runs `change` on its own thread until the evaluations are done; returns
// how many changes it made.
template <typename Change, typename Evaluate>
long WhileChanging(Change change, Evaluate evaluate) {
  std::atomic<bool> done{false};
  std::atomic<long> changes{0};
  std::thread changer([&] {
    while (!done.load()) {
      change();
      ++changes;
      std::this_thread::yield();
    }
  });
  evaluate();
  done = true;
  changer.join();
  return changes.load();
}

class HostTableChurn : public testing::Test {
 protected:
  // Start-up on `table` while it is still empty, with `remembered` stored.
  void Start(HostAddressTable* table, const char* remembered = nullptr) {
    ASSERT_NO_FATAL_FAILURE(registry_.Redirect());
    if (remembered != nullptr) RememberManagedSubnets(remembered);
    ASSERT_EQ(module_.OnStartup(table, 0), 0u);
  }

  ScratchMachineRegistry registry_;
  ScopedTempFolder temp_;
  ScopedProfileFolder profile_{temp_.path()};
  CapturedLog log_{9, 64 << 20, temp_ / "churn.log"};
  ConnectionScript script_;
  FakeClock clock_;
  Mardonel module_{FakeConnectionOf(script_), clock_};
};

TEST_F(HostTableChurn, EntriesAddedAndFreedDuringEvaluationsWithNothingRemembered) {
  TestHostTable table;
  Start(table.get());
  std::mt19937 random(7);
  const char* addresses[] = {"10.1.2.3", "192.168.5.20", "172.16.4.4", "10.200.0.1"};
  std::size_t entries = 0;
  int failed = 0;
  const long changes = WhileChanging(
      [&] {
        // Growing makes the host reallocate its pointer array, clearing
        // frees every entry.
        if (entries == kMostEntries) {
          table.Clear();
          entries = 0;
        } else {
          table.Add(addresses[random() % 4], "255.255.0.0");
          ++entries;
        }
      },
      [&] {
        for (int evaluation = 0; evaluation < kEvaluations; ++evaluation) {
          if (module_.OnNetAdaptersChanged(true, true) != 0) ++failed;
        }
      });

  ReportFigure("evaluations", kEvaluations);
  ReportFigure("table_changes", changes);
  ReportFigure("management_point_checks", script_.checks);
  EXPECT_EQ(failed, 0);
  EXPECT_FALSE(KeyExists(kCommonKey)) << "no subnet remembered";
  const std::vector<std::string> lines = AllHistoryLines(profile_.StatesFolder());
  ReportFigure("history_lines", static_cast<std::int64_t>(lines.size()));
  EXPECT_EQ(lines.size(), static_cast<std::size_t>(kEvaluations));
  EXPECT_EQ(CountLines(lines, ",1,Net Adapters changed,"), kEvaluations);
  const std::vector<std::string> logged = SplitLines(ReadWholeFile(temp_ / "churn.log"));
  EXPECT_LE(script_.checks, kEvaluations) << "one check answers for a whole evaluation";
  EXPECT_GE(CountLines(logged, ": Failed to connect to MP. Setting status to unmanaged.", LinePart::kEnd),
            script_.checks)
      << "a line for every entry scanned, so at least one for every check";
}

TEST_F(HostTableChurn, NoReadFallsOutsideTheTableWhileItShrinksAndGrows) {
  PoisonedTable table;
  Start(table.get(), "172.31.0.0;203.0.113.0");
  std::mt19937 random(11);
  int failed = 0;
  // A managed evaluation is put back at once by a sleep, which records it.
  const long changes = WhileChanging([&] { table.Change(random); },
                                     [&] {
                                       for (int evaluation = 0; evaluation < kEvaluations; ++evaluation) {
                                         if (module_.OnNetAdaptersChanged(true, true) != 0) ++failed;
                                         if (module_.OnSleep() != 0) ++failed;
                                       }
                                     });

  ReportFigure("evaluations", kEvaluations);
  ReportFigure("table_changes", changes);
  ReportFigure("management_point_checks", script_.checks);
  EXPECT_EQ(failed, 0);
  EXPECT_EQ(ReadRawValue(kCommonKey, "ManagedSubnets"), TextValue("172.31.0.0;203.0.113.0"));
  const std::vector<std::string> lines = AllHistoryLines(profile_.StatesFolder());
  ReportFigure("history_lines", static_cast<std::int64_t>(lines.size()));
  EXPECT_EQ(CountLines(lines, ",1,Sleep,"), 0) << "the poisoned subnet beyond the table was read";
  EXPECT_EQ(CountLines(lines, ",1,Net Adapters changed,"), kEvaluations);
}

}  // namespace

}  // namespace mardonel
