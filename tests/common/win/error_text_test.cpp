#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <thread>
#include <vector>

#include "common/win/error_text.h"
#include "common/win/win_owners.h"
#include "support/temp_folder.h"

namespace mardonel {

namespace {

// A module loaded into this process whose message table holds `texts`: a
// copy of the module with a table added, as a vendor's library carries one.
class ScopedMessageModule {
 public:
  explicit ScopedMessageModule(const std::vector<std::pair<DWORD, std::string>>& texts)
      : path_(folder_ / "messages.dll") {
    char self[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, self, sizeof self);
    std::string library = self;
    library = library.substr(0, library.rfind('\\') + 1) + "Mardonel.dll";
    if (!CopyFileA(library.c_str(), path_.c_str(), FALSE)) return;
    const std::vector<unsigned char> table = MessageTable(texts);
    HANDLE update = BeginUpdateResourceA(path_.c_str(), FALSE);
    if (update == nullptr) return;
    const BOOL added =
        UpdateResourceA(update, RT_MESSAGETABLE, MAKEINTRESOURCEA(1), MAKELANGID(LANG_NEUTRAL, SUBLANG_NEUTRAL),
                        const_cast<unsigned char*>(table.data()), static_cast<DWORD>(table.size()));
    if (EndUpdateResourceA(update, !added) && added) module_.reset(LoadLibraryA(path_.c_str()));
  }
  ScopedMessageModule(const ScopedMessageModule&) = delete;
  ScopedMessageModule& operator=(const ScopedMessageModule&) = delete;
  bool loaded() const { return static_cast<bool>(module_); }

 private:
  // One block a message, the blocks in rising order of their codes.
  static std::vector<unsigned char> MessageTable(std::vector<std::pair<DWORD, std::string>> texts) {
    std::sort(texts.begin(), texts.end());
    std::vector<unsigned char> table;
    auto put = [&table](DWORD value, int bytes) {
      for (int index = 0; index < bytes; ++index) table.push_back(static_cast<unsigned char>(value >> (8 * index)));
    };
    put(static_cast<DWORD>(texts.size()), 4);
    DWORD entry = 4 + 12 * static_cast<DWORD>(texts.size());
    for (const auto& [code, text] : texts) {
      put(code, 4);
      put(code, 4);
      put(entry, 4);
      entry += (4 + static_cast<DWORD>(text.size()) + 1 + 3) & ~3u;
    }
    for (const auto& [code, text] : texts) {
      const std::size_t length = (4 + text.size() + 1 + 3) & ~static_cast<std::size_t>(3);
      put(static_cast<DWORD>(length), 2);
      put(0, 2);  // single-byte text
      table.insert(table.end(), text.begin(), text.end());
      table.resize(table.size() + length - 4 - text.size(), 0);
    }
    return table;
  }

  ScopedTempFolder folder_;
  std::string path_;
  unique_hmodule module_;
};

constexpr DWORD kPlainOnly = 0xBEEF;

class ErrorMessageOfModules : public testing::Test {
 protected:
  ScopedMessageModule messages_{{
      {kPlainOnly, "Plain code text.\r\n"},
      {0x800401FF, "Interface code below the private range.\r\n"},
      {0x80040200, "Private interface code.\r\n"},
      {0xE0000001, "Text with %1 insert.\r\n"},
      {0xE0000002, "First line.\r\nSecond line.\r\n"},
      {0xE0000003, "\r\n"},
  }};
};

TEST_F(ErrorMessageOfModules, SearchesTheLoadedModulesAfterTheSystem) {
  ASSERT_TRUE(messages_.loaded());
  EXPECT_EQ(ErrorMessage(kPlainOnly), "Plain code text.");
  // A library's own codes, as the connectivity check reports them.
  EXPECT_EQ(ErrorMessage(12029).rfind("Error 0x", 0), std::string::npos);
}

TEST_F(ErrorMessageOfModules, AWin32ResultWithoutTextOfItsOwnGetsThePlainCodesText) {
  ASSERT_TRUE(messages_.loaded());
  EXPECT_EQ(ErrorMessage(HRESULT_FROM_WIN32(kPlainOnly)), "Plain code text.");
  EXPECT_EQ(ErrorMessage(HRESULT_FROM_WIN32(ERROR_FILE_NOT_FOUND)), "File not found.");
  // Only facility 7 is read that way.
  EXPECT_EQ(ErrorMessage(0x8008BEEF), "Error 0x8008beef");
}

TEST_F(ErrorMessageOfModules, InterfaceCodesFrom0x200OnAreNeverLookedUp) {
  ASSERT_TRUE(messages_.loaded());
  EXPECT_EQ(ErrorMessage(0x800401FF), "Interface code below the private range.");
  EXPECT_EQ(ErrorMessage(0x80040200), "Error 0x80040200");
}

TEST_F(ErrorMessageOfModules, InsertsStayAndOnlyTheClosingLineBreaksGo) {
  ASSERT_TRUE(messages_.loaded());
  EXPECT_EQ(ErrorMessage(0xE0000001), "Text with %1 insert.");
  EXPECT_EQ(ErrorMessage(0xE0000002), "First line.\r\nSecond line.");
  EXPECT_EQ(ErrorMessage(0xE0000003), "\r\n");
}

TEST_F(ErrorMessageOfModules, KeepsTheThreadsLastError) {
  for (const DWORD code : {DWORD{ERROR_ACCESS_DENIED}, kPlainOnly, DWORD{0x80040200}, DWORD{0xE0001234}}) {
    SetLastError(4321);
    ErrorMessage(code);
    EXPECT_EQ(GetLastError(), 4321u) << code;
  }
}

TEST(ErrorMessage, FallsBackToTheHexadecimalCode) {
  EXPECT_EQ(ErrorMessage(0xE0001234), "Error 0xe0001234");
  EXPECT_EQ(ErrorMessage(0x0000BEEE), "Error 0x0000beee");
}

TEST(ErrorText, OfZeroIsTheTextOfTheLastFailureOnOneLine) {
  const HANDLE missing = CreateFileA("C:\\no-such-folder-here\\no-such-file", GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                                     FILE_ATTRIBUTE_NORMAL, nullptr);
  ASSERT_EQ(missing, INVALID_HANDLE_VALUE);
  const DWORD failure = GetLastError();
  const std::string text = ErrorText(0);
  EXPECT_FALSE(text.empty());
  EXPECT_EQ(text.find_first_of("\r\n"), std::string::npos);
  EXPECT_EQ(text, ErrorMessage(failure));
}

TEST(ErrorText, ReproducesInsertSequences) {
  // "Insert disk for drive %1." and its like.
  const std::string text = ErrorText(ERROR_DISK_CHANGE);
  EXPECT_NE(text.find("%1"), std::string::npos) << text;
}

TEST(ErrorText, FallsBackToTheHexadecimalCodeAndSearchesNoModule) {
  EXPECT_STREQ(ErrorText(0xE0001234), "Error 0xe0001234");
  EXPECT_STREQ(ErrorText(12029), "Error 0x00002efd");
}

TEST(ErrorText, TwoThreadsFormattingAtOnceEachKeepTheirOwnText) {
  const DWORD codes[2] = {0xE0001234, 0xE0005678};
  std::string seen[2];
  // Events, not std::latch: this runtime's latch can miss its wake-up under load.
  const unique_handle formatted[2] = {unique_handle(CreateEventA(nullptr, TRUE, FALSE, nullptr)),
                                      unique_handle(CreateEventA(nullptr, TRUE, FALSE, nullptr))};
  ASSERT_TRUE(formatted[0] && formatted[1]);
  auto format = [&](int index) {
    const char* text = ErrorText(codes[index]);
    SetEvent(formatted[index].get());
    WaitForSingleObject(formatted[1 - index].get(), INFINITE);
    seen[index] = text;
  };
  std::thread first(format, 0);
  std::thread second(format, 1);
  first.join();
  second.join();
  EXPECT_EQ(seen[0], "Error 0xe0001234");
  EXPECT_EQ(seen[1], "Error 0xe0005678");
}

}  // namespace

}  // namespace mardonel
