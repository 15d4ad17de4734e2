#include "app/cache_folder.h"

#include <gtest/gtest.h>
#include <windows.h>
#include <shlobj.h>
#include <shlwapi.h>

#include <string>
#include <vector>

#include "support/win_test_util.h"

namespace {

// A fresh folder under the system's temporary folder, removed with its content.
class TempDir {
 public:
  TempDir() {
    wchar_t base[MAX_PATH];
    GetTempPathW(MAX_PATH, base);
    path_ = std::wstring(base) + L"qm-test-" + std::to_wstring(GetCurrentProcessId()) + L"-" +
            std::to_wstring(counter_++);
    CreateDirectoryW(path_.c_str(), nullptr);
  }
  ~TempDir() { qmtest::RemoveTree(path_); }
  const std::wstring& path() const { return path_; }

 private:
  static int counter_;
  std::wstring path_;
};
int TempDir::counter_ = 0;

bool IsDir(const std::wstring& p) {
  DWORD a = GetFileAttributesW(p.c_str());
  return a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_DIRECTORY);
}

struct TreeCase {
  const char* name;
  const wchar_t* relative;          // appended to the temporary folder and a backslash
  const wchar_t* blockingFile;      // a file created first, relative likewise, or null
  bool expected;
  std::vector<const wchar_t*> dirsAfter;    // folders that must exist afterwards
  std::vector<const wchar_t*> missingAfter; // names that must not be folders afterwards
};

TEST(CreateDirectoryTree, TableOverRealFolders) {
  const TreeCase cases[] = {
      {"existing path", L"", nullptr, true, {L""}, {}},
      {"missing middle folders", L"a\\b\\c", nullptr, true, {L"a", L"a\\b", L"a\\b\\c"}, {}},
      {"ending in a backslash", L"d\\e\\", nullptr, true, {L"d", L"d\\e"}, {}},
      {"middle folder blocked by a file", L"f\\blocker\\g\\h", L"f\\blocker", false,
       {L"f"}, {L"f\\blocker", L"f\\blocker\\g"}},
      // The folders this call created before the failing one stay.
      {"middle folder with an invalid name", L"p\\q\\bad|name\\r", nullptr, false,
       {L"p", L"p\\q"}, {L"p\\q\\bad|name"}},
  };
  for (const TreeCase& c : cases) {
    SCOPED_TRACE(c.name);
    TempDir tmp;
    if (c.blockingFile) {
      CreateDirectoryW((tmp.path() + L"\\f").c_str(), nullptr);
      HANDLE f = CreateFileW((tmp.path() + L"\\" + c.blockingFile).c_str(), GENERIC_WRITE, 0,
                             nullptr, CREATE_NEW, 0, nullptr);
      ASSERT_NE(f, INVALID_HANDLE_VALUE);
      CloseHandle(f);
    }
    std::wstring target = tmp.path() + L"\\" + c.relative;
    if (!*c.relative) target = tmp.path();
    EXPECT_EQ(c.expected, CreateDirectoryTree(target.c_str()));
    for (const wchar_t* d : c.dirsAfter) {
      std::wstring p = *d ? tmp.path() + L"\\" + d : tmp.path();
      EXPECT_TRUE(IsDir(p)) << "missing folder " << testing::PrintToString(std::wstring(d));
    }
    for (const wchar_t* d : c.missingAfter)
      EXPECT_FALSE(IsDir(tmp.path() + L"\\" + d)) << "unexpected folder";
  }
}

// Without a backslash the path is one name relative to the current folder; a
// path written with slashes only is one (invalid) name too.
TEST(CreateDirectoryTree, NamesWithoutBackslashAreRelativeToCurrentFolder) {
  TempDir tmp;
  wchar_t old[MAX_PATH];
  GetCurrentDirectoryW(MAX_PATH, old);
  ASSERT_TRUE(SetCurrentDirectoryW(tmp.path().c_str()));
  EXPECT_TRUE(CreateDirectoryTree(L"single"));
  EXPECT_TRUE(IsDir(tmp.path() + L"\\single"));
  EXPECT_TRUE(CreateDirectoryTree(L"single"));  // exists already
  // Slashes are not separators: "x/y" names one folder that Windows refuses
  // to create because its parent x does not exist.
  EXPECT_FALSE(CreateDirectoryTree(L"x/y/z"));
  EXPECT_FALSE(IsDir(tmp.path() + L"\\x"));
  SetCurrentDirectoryW(old);
  EXPECT_FALSE(CreateDirectoryTree(nullptr));
}

TEST(CacheFolderFromAppData, EndsWithExactlyOneBackslash) {
  struct {
    const wchar_t* reported;
    const wchar_t* expected;
  } cases[] = {
      {L"C:\\Users\\p\\AppData\\Roaming", L"C:\\Users\\p\\AppData\\Roaming\\"},
      {L"C:\\Users\\p\\AppData\\Roaming\\", L"C:\\Users\\p\\AppData\\Roaming\\"},
      {L"", L""},
      {L"D:\\\u6e38\u620f", L"D:\\\u6e38\u620f\\"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::PrintToString(std::wstring(c.reported)));
    EXPECT_EQ(std::wstring(c.expected), CacheFolderFromAppData(c.reported));
  }
}

TEST(GetCachePath, IsTheRoamingAppDataFolderAndExists) {
  wchar_t appData[MAX_PATH] = {};
  ASSERT_TRUE(SHGetSpecialFolderPathW(nullptr, appData, CSIDL_APPDATA, FALSE));
  const std::wstring& path = GetCachePath();
  EXPECT_EQ(CacheFolderFromAppData(appData), path);
  ASSERT_GE(path.size(), 2u);
  EXPECT_EQ(L'\\', path.back());
  EXPECT_NE(L'\\', path[path.size() - 2]);
  EXPECT_TRUE(IsDir(path));
}

}  // namespace
