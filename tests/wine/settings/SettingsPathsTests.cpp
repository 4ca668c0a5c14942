// The settings folder when the shell cannot give the user's application-data folder.
#include <shlobj.h>

#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <vector>

#include "base/FatalCheck.h"
#include "settings/SettingsPaths.h"

namespace {
struct LookupCall {
  HWND owner;
  int folderId;
};
std::vector<LookupCall> calls;

bool UserFolderMissing(HWND owner, int folderId, std::wstring& path) {
  calls.push_back({owner, folderId});
  return folderId != CSIDL_APPDATA && ShellFolderPath(owner, folderId, path);
}

bool NoFolders(HWND owner, int folderId, std::wstring&) {
  calls.push_back({owner, folderId});
  return false;
}

[[noreturn]] void ThrowingFatalHandler(const char* reason) { throw std::runtime_error(reason); }

class SettingsFolderFallback : public ::testing::Test {
 protected:
  void SetUp() override {
    calls.clear();
    previousHandler = SetFatalHandler(ThrowingFatalHandler);
  }
  void TearDown() override { SetFatalHandler(previousHandler); }

  HWND owner = GetDesktopWindow();
  FatalHandler previousHandler = nullptr;
};
}  // namespace

TEST_F(SettingsFolderFallback, UsesTheAllUsersFolderAskedWithoutOwner) {
  std::wstring common;
  ASSERT_TRUE(ShellFolderPath(nullptr, CSIDL_COMMON_APPDATA, common));

  EXPECT_EQ(SettingsFolderPath(owner, UserFolderMissing), common + L"\\Sorahane");
  ASSERT_EQ(calls.size(), 2u);
  EXPECT_EQ(calls[0].folderId, CSIDL_APPDATA);
  EXPECT_EQ(calls[0].owner, owner);
  EXPECT_EQ(calls[1].folderId, CSIDL_COMMON_APPDATA);
  EXPECT_EQ(calls[1].owner, nullptr);
}

TEST_F(SettingsFolderFallback, IsFatalWhenNeitherFolderExists) {
  EXPECT_THROW(SettingsFolderPath(owner, NoFolders), std::runtime_error);
  EXPECT_EQ(calls.size(), 2u);
}
