#include <gtest/gtest.h>

#include "hosts/saver/scrnsave/CommandLine.h"

namespace {

HWND Handle(UINT_PTR value) { return reinterpret_cast<HWND>(value); }

TEST(SaverCommandLine, FullScreenInAnySpelling) {
  for (const wchar_t* line : {L"/s", L"/S", L"-s", L"  /s", L"/s extra"}) {
    EXPECT_EQ(ParseSaverCommandLine(line).mode, SaverCommand::FullScreen) << line;
  }
}

TEST(SaverCommandLine, PreviewTakesTheParentInBothForms) {
  for (const wchar_t* line : {L"/p 1234", L"/P:1234", L"-p   1234", L"/p: 1234"}) {
    const SaverCommand command = ParseSaverCommandLine(line);
    EXPECT_EQ(command.mode, SaverCommand::Preview) << line;
    EXPECT_EQ(command.window, Handle(1234)) << line;
  }
  EXPECT_EQ(ParseSaverCommandLine(L"/p").window, nullptr);
  EXPECT_EQ(ParseSaverCommandLine(L"/p abc").window, nullptr);
}

TEST(SaverCommandLine, SettingsWithOrWithoutOwnerAndForAnythingElse) {
  EXPECT_EQ(ParseSaverCommandLine(L"/c").mode, SaverCommand::Settings);
  EXPECT_EQ(ParseSaverCommandLine(L"/c").window, nullptr);
  EXPECT_EQ(ParseSaverCommandLine(L"/C:5678").window, Handle(5678));
  for (const wchar_t* line : {L"", L"   ", L"/x", L"s", L"/"}) {
    EXPECT_EQ(ParseSaverCommandLine(line).mode, SaverCommand::Settings) << line;
  }
  EXPECT_EQ(ParseSaverCommandLine(nullptr).mode, SaverCommand::Settings);
  EXPECT_EQ(ParseSaverCommandLine(L"/a 99").mode, SaverCommand::ChangePassword);
}

}  // namespace
