#include "app/cache_folder.h"

#include <windows.h>
#include <shlobj.h>
#include <shlwapi.h>

namespace {

std::wstring s_strCachePath;

bool ExistsOrCreate(const std::wstring& path) {
  return PathFileExistsW(path.c_str()) || CreateDirectoryW(path.c_str(), nullptr);
}

}  // namespace

bool CreateDirectoryTree(const wchar_t* path) {
  if (!path) return false;
  const std::wstring full(path);
  for (size_t i = full.find(L'\\'); i != std::wstring::npos; i = full.find(L'\\', i + 1)) {
    // A prefix that ends with its backslash ("C:\", "C:\Games\").
    if (!ExistsOrCreate(full.substr(0, i + 1))) return false;
  }
  return ExistsOrCreate(full);
}

std::wstring CacheFolderFromAppData(const std::wstring& appData) {
  std::wstring path = appData;
  if (!path.empty() && path.back() != L'\\') path += L'\\';
  return path;
}

const std::wstring& GetCachePath() {
  if (s_strCachePath.empty()) {
    // The shell may fail without writing the buffer, so it starts empty.
    wchar_t buffer[MAX_PATH] = {};
    if (!SHGetSpecialFolderPathW(nullptr, buffer, CSIDL_APPDATA, FALSE)) buffer[0] = L'\0';
    s_strCachePath = CacheFolderFromAppData(buffer);
    if (!s_strCachePath.empty()) CreateDirectoryTree(s_strCachePath.c_str());
  }
  return s_strCachePath;
}
