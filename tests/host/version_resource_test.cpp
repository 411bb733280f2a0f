// The version resource Windows shows in the properties of the shipped files.
#include <gtest/gtest.h>

#include <vector>

#include "host_process.h"

namespace mardonel {

namespace {

struct ShownVersion {
  std::string productName;
  std::string fileVersion;
  std::string description;
  DWORD fileType = 0;
};

std::string StringValue(std::vector<char>& block, const char* name) {
  char* text = nullptr;
  UINT length = 0;
  const std::string path = std::string("\\StringFileInfo\\040904B0\\") + name;
  if (!VerQueryValueA(block.data(), path.c_str(), reinterpret_cast<void**>(&text), &length) || text == nullptr) {
    return {};
  }
  return text;
}

ShownVersion VersionOf(const std::string& file) {
  ShownVersion shown;
  const std::string path = ProgramFolder() + file;
  DWORD unused = 0;
  const DWORD size = GetFileVersionInfoSizeA(path.c_str(), &unused);
  if (size == 0) return shown;
  std::vector<char> block(size);
  if (!GetFileVersionInfoA(path.c_str(), 0, size, block.data())) return shown;
  VS_FIXEDFILEINFO* fixed = nullptr;
  UINT length = 0;
  if (VerQueryValueA(block.data(), "\\", reinterpret_cast<void**>(&fixed), &length) && fixed != nullptr) {
    shown.fileType = fixed->dwFileType;
  }
  shown.productName = StringValue(block, "ProductName");
  shown.fileVersion = StringValue(block, "FileVersion");
  shown.description = StringValue(block, "FileDescription");
  return shown;
}

TEST(VersionResource, LibraryAndHostCarryTheirVersion) {
  const ShownVersion library = VersionOf("Mardonel.dll");
  EXPECT_EQ(library.productName, "Mardonel");
  EXPECT_EQ(library.fileVersion, "1.0.0.0");
  EXPECT_FALSE(library.description.empty());
  EXPECT_EQ(library.fileType, static_cast<DWORD>(VFT_DLL));

  const ShownVersion host = VersionOf("agent-host.exe");
  EXPECT_EQ(host.productName, "Mardonel");
  EXPECT_EQ(host.fileVersion, library.fileVersion);
  EXPECT_FALSE(host.description.empty());
  EXPECT_EQ(host.fileType, static_cast<DWORD>(VFT_APP));
}

}  // namespace

}  // namespace mardonel
