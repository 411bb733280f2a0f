// Wine accepts a descriptor when a folder is created but does not store it,
// so the descriptor itself is what these tests examine.
#include "common/fs/folder_security.h"

#include <windows.h>
#include <sddl.h>

#include <gtest/gtest.h>

#include <string>

namespace mardonel {

namespace {

std::string DaclText(PSECURITY_DESCRIPTOR descriptor) {
  char* text = nullptr;
  if (!ConvertSecurityDescriptorToStringSecurityDescriptorA(descriptor, SDDL_REVISION_1, DACL_SECURITY_INFORMATION,
                                                            &text, nullptr)) {
    return {};
  }
  const unique_hlocal owner(text);
  return text;
}

bool IsWellKnown(PSID sid, WELL_KNOWN_SID_TYPE type) { return IsWellKnownSid(sid, type) != FALSE; }

TEST(FolderSecurity, ProtectedDescriptorHasExactlyTheThreeEntries) {
  FolderSecurity security(kProtectedFolderSddl);
  SECURITY_ATTRIBUTES* attributes = security.attributes();
  ASSERT_NE(attributes, nullptr);
  EXPECT_EQ(attributes->nLength, sizeof(SECURITY_ATTRIBUTES));
  EXPECT_FALSE(attributes->bInheritHandle);
  PSECURITY_DESCRIPTOR descriptor = attributes->lpSecurityDescriptor;
  ASSERT_NE(descriptor, nullptr);

  SECURITY_DESCRIPTOR_CONTROL control = 0;
  DWORD revision = 0;
  ASSERT_TRUE(GetSecurityDescriptorControl(descriptor, &control, &revision));
  EXPECT_TRUE(control & SE_DACL_PROTECTED) << "the parent's entries must not flow in";
  EXPECT_TRUE(control & SE_DACL_PRESENT);

  BOOL present = FALSE;
  BOOL defaulted = FALSE;
  PACL dacl = nullptr;
  ASSERT_TRUE(GetSecurityDescriptorDacl(descriptor, &present, &dacl, &defaulted));
  ASSERT_TRUE(present);
  ASSERT_NE(dacl, nullptr);
  ASSERT_EQ(dacl->AceCount, 3);

  const struct {
    WELL_KNOWN_SID_TYPE who;
    ACCESS_MASK rights;
  } expected[] = {
      {WinLocalSystemSid, FILE_ALL_ACCESS},
      {WinBuiltinAdministratorsSid, FILE_ALL_ACCESS},
      {WinBuiltinUsersSid, FILE_GENERIC_READ | FILE_GENERIC_EXECUTE},
  };
  for (DWORD index = 0; index < dacl->AceCount; ++index) {
    void* entry = nullptr;
    ASSERT_TRUE(GetAce(dacl, index, &entry));
    const auto* allowed = static_cast<ACCESS_ALLOWED_ACE*>(entry);
    EXPECT_EQ(allowed->Header.AceType, ACCESS_ALLOWED_ACE_TYPE) << index;
    EXPECT_EQ(allowed->Header.AceFlags, OBJECT_INHERIT_ACE | CONTAINER_INHERIT_ACE) << index;
    EXPECT_EQ(allowed->Mask, expected[index].rights) << index;
    EXPECT_TRUE(IsWellKnown(const_cast<DWORD*>(&allowed->SidStart), expected[index].who)) << index;
  }
  EXPECT_EQ(DaclText(descriptor), kProtectedFolderSddl);
}

TEST(FolderSecurity, TextThatIsNoDescriptorGivesNoAttributes) {
  FolderSecurity security("D:(this is not a descriptor");
  EXPECT_EQ(security.attributes(), nullptr);
}

}  // namespace

}  // namespace mardonel
