// The settings dialog's two media groups: their option boxes, path combos, browsing and the
// audition buttons' failures, on the real dialog and the real settings file.
#include <windows.h>
#include <objbase.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "TestMedia.h"
#include "resources/resource.h"
#include "tests/wine/settings/RunningConfigDialog.h"
#include "tests/wine/settings/SettingsLocation.h"

namespace {
const wchar_t kCannotOpen[] = L"\u30d5\u30a1\u30a4\u30eb\u3092\u958b\u3051\u307e\u305b\u3093\u3002";

// The file-name field of the file-open box (explorer style or the older one).
HWND FileNameField(HWND box) {
  if (HWND combo = GetDlgItem(box, 0x47C)) return combo;
  return GetDlgItem(box, 0x480);
}

// The COM apartment of the thread that runs window, asked on that thread through a subclass.
const UINT kAskApartment = RegisterWindowMessageW(L"kagemira test: which apartment");
WNDPROC boxProcedure = nullptr;
LRESULT CALLBACK TellApartment(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message != kAskApartment) return CallWindowProcW(boxProcedure, window, message, wParam, lParam);
  APTTYPE type{};
  APTTYPEQUALIFIER qualifier{};
  return SUCCEEDED(CoGetApartmentType(&type, &qualifier)) ? type : -1;
}
LRESULT ApartmentOf(HWND window) {
  boxProcedure =
      reinterpret_cast<WNDPROC>(SetWindowLongPtrW(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&TellApartment)));
  const LRESULT apartment = SendMessageW(window, kAskApartment, 0, 0);
  SetWindowLongPtrW(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(boxProcedure));
  return apartment;
}

// A real file for the file-open box to find, removed with the test.
class MediaFile {
 public:
  MediaFile() {
    wchar_t temp[MAX_PATH] = {};
    GetTempPathW(MAX_PATH, temp);
    folder = std::filesystem::path(temp) / L"kagemira-browse";
    std::filesystem::create_directories(folder);
    file = folder / L"music.wav";
    std::ofstream(file, std::ios::binary) << "RIFF";
  }
  ~MediaFile() {
    std::error_code ignored;
    std::filesystem::remove_all(folder, ignored);
  }
  std::wstring Path() const { return file.wstring(); }

 private:
  std::filesystem::path folder;
  std::filesystem::path file;
};

class ConfigDialogMedia : public ::testing::Test {
 protected:
  SettingsLocation location;
};

const int kBackgroundGroup[] = {IDC_BGM_PATH,   IDC_BGM_BROWSE, IDC_BGM_VOLUME_LABEL, IDC_BGM_VOLUME_VALUE,
                                IDC_BGM_VOLUME, IDC_BGM_PLAY,   IDC_BGM_STOP};
const int kShadowGroup[] = {IDC_SHADOW_MOVIE_PATH,         IDC_SHADOW_MOVIE_BROWSE, IDC_SHADOW_MOVIE_VOLUME_LABEL,
                            IDC_SHADOW_MOVIE_VOLUME_VALUE, IDC_SHADOW_MOVIE_VOLUME, IDC_SHADOW_MOVIE_PLAY,
                            IDC_SHADOW_MOVIE_STOP};
}  // namespace

TEST_F(ConfigDialogMedia, EachOptionBoxEnablesAndDisablesExactlyItsGroup) {
  location.Clear();
  RunningConfigDialog dialog;
  ASSERT_TRUE(dialog.Enabled(IDC_BGM_PLAY)) << "a working audition graph and the option off: 試聴 stays on";
  for (const auto& [box, group, other] : {std::make_tuple(IDC_BGM_ENABLED, kBackgroundGroup, kShadowGroup),
                                          std::make_tuple(IDC_SHADOW_MOVIE_ENABLED, kShadowGroup, kBackgroundGroup)}) {
    SCOPED_TRACE(box);
    std::vector<bool> otherBefore;
    for (int i = 0; i < 7; ++i) otherBefore.push_back(dialog.Enabled(other[i]));
    dialog.Click(box);
    for (int i = 0; i < 7; ++i) EXPECT_TRUE(dialog.Enabled(group[i])) << group[i];
    EXPECT_TRUE(dialog.Enabled(IDC_APPLY));
    dialog.Click(box);
    for (int i = 0; i < 7; ++i) EXPECT_FALSE(dialog.Enabled(group[i])) << group[i];
    for (int i = 0; i < 7; ++i) EXPECT_EQ(dialog.Enabled(other[i]), otherBefore[i]) << "the other group: " << other[i];
  }
  dialog.Click(IDOK);
  EXPECT_EQ(dialog.WaitForEnd(), 1);
  EXPECT_EQ(location.ReadKey(L"bgmEnabled"), L"0");
  EXPECT_EQ(location.ReadKey(L"shadowMovieEnabled"), L"0");
}

TEST_F(ConfigDialogMedia, ATypedPathIsStoredWhenTheComboIsLeftAndIsWhatTheAuditionTries) {
  location.WriteIni({{"bgmEnabled", "1"}, {"bgmPath", "C:\\old.wav"}, {"recent0", "C:\\old.wav"}});
  RunningConfigDialog dialog;
  const std::wstring typed = L"C:\\no such folder\\typed.wav";
  dialog.TypeInto(IDC_BGM_PATH, typed);
  dialog.Focus(IDC_BGM_PLAY);  // leaving the combo
  EXPECT_EQ(dialog.Text(IDC_BGM_PATH), typed);
  EXPECT_EQ(dialog.Entries(IDC_BGM_PATH),
            (std::vector<std::wstring>{L"C:\\no such folder\\typed.wav", L"C:\\old.wav"}));
  EXPECT_TRUE(dialog.Enabled(IDC_APPLY));

  dialog.ClickLater(IDC_BGM_PLAY);
  const HWND box = dialog.WaitForBox(L"ERROR");
  ASSERT_NE(box, nullptr);
  EXPECT_TRUE(RunningConfigDialog::Says(box, kCannotOpen));
  RunningConfigDialog::Answer(box, IDOK);
  EXPECT_TRUE(dialog.Enabled(IDC_BGM_PLAY)) << "the buttons stay as they were";
  EXPECT_FALSE(dialog.Enabled(IDC_BGM_STOP));
  EXPECT_TRUE(dialog.Enabled(IDC_BGM_PATH));

  dialog.Click(IDOK);
  EXPECT_EQ(dialog.WaitForEnd(), 1);
  EXPECT_EQ(location.ReadKey(L"bgmPath"), typed);
  EXPECT_EQ(location.ReadKey(L"recent0"), typed);
  EXPECT_EQ(location.ReadKey(L"recent1"), L"C:\\old.wav");
}

TEST_F(ConfigDialogMedia, AuditioningNoFileOrOneThatIsNoMediaSaysTheFileCannotBeOpened) {
  location.WriteIni({{"shadowMovieEnabled", "1"}});
  RunningConfigDialog dialog;
  ASSERT_TRUE(dialog.Enabled(IDC_SHADOW_MOVIE_PLAY));
  // An empty path is no file, not a silent success.
  for (const std::wstring& path : {std::wstring(), TestMedia(L"not-media.mp4"), TestMedia(L"empty.mp4")}) {
    SCOPED_TRACE(path);
    dialog.TypeInto(IDC_SHADOW_MOVIE_PATH, path);
    dialog.Focus(IDC_FRAME_ENABLED);
    dialog.ClickLater(IDC_SHADOW_MOVIE_PLAY);
    const HWND box = dialog.WaitForBox(L"ERROR");
    ASSERT_NE(box, nullptr);
    EXPECT_TRUE(RunningConfigDialog::Says(box, kCannotOpen));
    RunningConfigDialog::Answer(box, IDOK);
    EXPECT_TRUE(dialog.Enabled(IDC_SHADOW_MOVIE_PLAY));
    EXPECT_FALSE(dialog.Enabled(IDC_SHADOW_MOVIE_STOP));
    EXPECT_TRUE(dialog.Enabled(IDC_SHADOW_MOVIE_PATH));
  }
}

TEST_F(ConfigDialogMedia, ARecentEntryChosenFromTheListBecomesThePathAndCancellingKeepsTheOldOne) {
  location.WriteIni({{"shadowMovieEnabled", "1"},
                     {"shadowMoviePath", "C:\\b.avi"},
                     {"shadowMovieRecent0", "C:\\b.avi"},
                     {"shadowMovieRecent1", "C:\\c.avi"},
                     {"shadowMovieRecent2", "C:\\a.avi"}});
  RunningConfigDialog dialog;
  const HWND combo = dialog.Item(IDC_SHADOW_MOVIE_PATH);
  EXPECT_EQ(dialog.Entries(IDC_SHADOW_MOVIE_PATH),
            (std::vector<std::wstring>{L"C:\\a.avi", L"C:\\b.avi", L"C:\\c.avi"}))
      << "sorted";
  EXPECT_EQ(dialog.Text(IDC_SHADOW_MOVIE_PATH), L"C:\\b.avi");

  dialog.ChooseFromList(IDC_SHADOW_MOVIE_PATH, 1, false);
  EXPECT_EQ(dialog.Text(IDC_SHADOW_MOVIE_PATH), L"C:\\b.avi") << "cancelled";
  EXPECT_EQ(SendMessageW(combo, CB_GETCURSEL, 0, 0), 1);

  dialog.ChooseFromList(IDC_SHADOW_MOVIE_PATH, 1, true);
  EXPECT_EQ(dialog.Text(IDC_SHADOW_MOVIE_PATH), L"C:\\c.avi");
  EXPECT_TRUE(dialog.Enabled(IDC_APPLY));
  dialog.Click(IDOK);
  EXPECT_EQ(dialog.WaitForEnd(), 1);
  EXPECT_EQ(location.ReadKey(L"shadowMoviePath"), L"C:\\c.avi");
  EXPECT_EQ(location.ReadKey(L"shadowMovieRecent0"), L"C:\\c.avi");
  EXPECT_EQ(location.ReadKey(L"shadowMovieRecent1"), L"C:\\b.avi");
  EXPECT_EQ(location.ReadKey(L"shadowMovieRecent2"), L"C:\\a.avi");
}

TEST_F(ConfigDialogMedia, TheComboShowsTheStoredPathEvenWhenAnotherEntryStartsWithIt) {
  // Sorted, "C:\a" comes first and "C:\a.wav" second; a prefix search that starts after the
  // first entry would show (and, once the combo is left, store) the wrong file.
  location.WriteIni({{"bgmEnabled", "1"}, {"bgmPath", "C:\\a"}, {"recent0", "C:\\a.wav"}, {"recent1", "C:\\a"}});
  RunningConfigDialog dialog;
  EXPECT_EQ(dialog.Text(IDC_BGM_PATH), L"C:\\a");
  dialog.Focus(IDC_BGM_PATH);
  dialog.Focus(IDC_BGM_PLAY);
  dialog.Click(IDOK);
  EXPECT_EQ(dialog.WaitForEnd(), 1);
  EXPECT_EQ(location.ReadKey(L"bgmPath"), L"C:\\a");
}

// Shell dialogs need a single-threaded apartment (from a multithreaded one they may hang); the
// dialog's own thread is in the multithreaded one for the media graphs.
TEST_F(ConfigDialogMedia, TheFileBoxRunsInASingleThreadedApartmentModalToTheDialog) {
  location.WriteIni({{"bgmEnabled", "1"}});
  RunningConfigDialog dialog;
  dialog.ClickLater(IDC_BGM_BROWSE);
  const HWND box = dialog.WaitForBox(nullptr);
  ASSERT_NE(box, nullptr);
  EXPECT_EQ(GetWindow(box, GW_OWNER), dialog.dialog());
  EXPECT_FALSE(IsWindowEnabled(dialog.dialog()));
  const LRESULT apartment = ApartmentOf(box);
  EXPECT_TRUE(apartment == APTTYPE_STA || apartment == APTTYPE_MAINSTA) << apartment;
  RunningConfigDialog::Answer(box, IDCANCEL);
  EXPECT_TRUE(WaitUntil([&] { return IsWindowEnabled(dialog.dialog()) != FALSE; }));
  dialog.Click(IDCANCEL);
  EXPECT_EQ(dialog.WaitForEnd(), 2);
}

TEST_F(ConfigDialogMedia, BrowseChoosesAnExistingFileAndStartsFromTheCurrentPathNextTime) {
  location.WriteIni({{"bgmEnabled", "1"}, {"bgmPath", "C:\\old.wav"}});
  const MediaFile media;
  RunningConfigDialog dialog;

  dialog.ClickLater(IDC_BGM_BROWSE);
  HWND box = dialog.WaitForBox(nullptr);
  ASSERT_NE(box, nullptr);
  ASSERT_NE(FileNameField(box), nullptr);
  SendMessageW(FileNameField(box), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(media.Path().c_str()));
  RunningConfigDialog::Answer(box, IDOK);
  EXPECT_EQ(dialog.Text(IDC_BGM_PATH), media.Path());
  EXPECT_EQ(dialog.Entries(IDC_BGM_PATH).size(), 2u);
  EXPECT_FALSE(dialog.Enabled(IDC_APPLY)) << "choosing a file does not enable 適用";

  // Next time the box starts from the chosen file; cancelling changes nothing.
  dialog.ClickLater(IDC_BGM_BROWSE);
  box = dialog.WaitForBox(nullptr);
  ASSERT_NE(box, nullptr);
  wchar_t shown[MAX_PATH] = {};
  GetWindowTextW(FileNameField(box), shown, MAX_PATH);
  EXPECT_NE(std::wstring(shown).find(L"music.wav"), std::wstring::npos) << std::wstring(shown);
  RunningConfigDialog::Answer(box, IDCANCEL);
  EXPECT_EQ(dialog.Text(IDC_BGM_PATH), media.Path());

  dialog.Click(IDOK);
  EXPECT_EQ(dialog.WaitForEnd(), 1);
  EXPECT_EQ(location.ReadKey(L"bgmPath"), media.Path());
  EXPECT_EQ(location.ReadKey(L"recent0"), media.Path());
  EXPECT_EQ(location.ReadKey(L"recent1"), L"C:\\old.wav");
}
