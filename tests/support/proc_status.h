#pragma once

#include <windows.h>

#include <string>

namespace qmtest {

// Under Wine a Windows process is a Linux process, and GetGuiResources and
// the private-bytes counter answer 0; its memory is read from the Linux
// side instead, through Wine's Z: drive. Finds the one process whose
// command line holds `needle` and returns a field of /proc/PID/status in kB
// (VmRSS, VmData), or -1.
inline long LinuxStatusKb(const std::string& needle, const char* field) {
  WIN32_FIND_DATAA fd;
  HANDLE h = FindFirstFileA("Z:\\proc\\*", &fd);
  if (h == INVALID_HANDLE_VALUE) return -1;
  long found = -1;
  do {
    if (!isdigit(static_cast<unsigned char>(fd.cFileName[0]))) continue;
    const std::string dir = std::string("Z:\\proc\\") + fd.cFileName;
    auto read = [](const std::string& path) {
      std::string text;
      HANDLE f = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
      if (f == INVALID_HANDLE_VALUE) return text;
      char buf[4096];
      DWORD got = 0;
      while (ReadFile(f, buf, sizeof(buf), &got, nullptr) && got > 0) text.append(buf, got);
      CloseHandle(f);
      return text;
    };
    std::string cmdline = read(dir + "\\cmdline");
    for (char& c : cmdline) c = static_cast<char>(tolower(c == '\0' ? ' ' : c));
    if (cmdline.find(needle) == std::string::npos) continue;
    const std::string status = read(dir + "\\status");
    size_t at = status.find(std::string(field) + ":");
    if (at == std::string::npos) continue;
    found = atol(status.c_str() + at + strlen(field) + 1);
    break;
  } while (FindNextFileA(h, &fd));
  FindClose(h);
  return found;
}

}  // namespace qmtest
