#pragma once

#include <string>

// Creates every missing folder along `path`. Only the backslash separates
// folders; a slash is part of a name. Folders created before a failure are
// kept. True when the whole path exists at the end; false for a null path.
bool CreateDirectoryTree(const wchar_t* path);

// The cache folder for an application-data folder as the shell reported it:
// the same text ending in exactly one backslash, or empty when the shell
// reported nothing.
std::wstring CacheFolderFromAppData(const std::wstring& appData);

// CEF's cache folder: the user's roaming application-data folder itself.
// Computed on the first call (and again while it is still empty); the folder
// is created then. Window thread only.
const std::wstring& GetCachePath();
