#pragma once

#include <windows.h>

#include <cctype>
#include <cstdlib>
#include <cstring>
#include <string>

namespace qmtest {

// Under Wine a Windows process is a Linux process, and GetGuiResources and
// the private-bytes counter answer 0; its memory is read from the Linux
// side instead, through Wine's Z: drive. Finds the one process whose
// command line holds `needle` and returns a field of /proc/PID/status in kB
// (VmRSS, VmData), or -1.
inline std::string ReadProcFile(const std::string& path) {
  std::string text;
  HANDLE f = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
  if (f == INVALID_HANDLE_VALUE) return text;
  char buf[4096];
  DWORD got = 0;
  while (ReadFile(f, buf, sizeof(buf), &got, nullptr) && got > 0) text.append(buf, got);
  CloseHandle(f);
  return text;
}

// The /proc folder ("Z:\proc\PID") of the one process whose command line
// holds `needle` (lower case), or "".
inline std::string LinuxProcDir(const std::string& needle) {
  WIN32_FIND_DATAA fd;
  HANDLE h = FindFirstFileA("Z:\\proc\\*", &fd);
  if (h == INVALID_HANDLE_VALUE) return std::string();
  std::string found;
  do {
    if (!isdigit(static_cast<unsigned char>(fd.cFileName[0]))) continue;
    const std::string dir = std::string("Z:\\proc\\") + fd.cFileName;
    std::string cmdline = ReadProcFile(dir + "\\cmdline");
    for (char& c : cmdline) c = static_cast<char>(tolower(c == '\0' ? ' ' : c));
    if (cmdline.find(needle) != std::string::npos) {
      found = dir;
      break;
    }
  } while (FindNextFileA(h, &fd));
  FindClose(h);
  return found;
}

// CPU time (user and system) the process has used, in milliseconds, or -1.
inline long LinuxCpuMs(const std::string& needle) {
  const std::string dir = LinuxProcDir(needle);
  if (dir.empty()) return -1;
  const std::string stat = ReadProcFile(dir + "\\stat");
  size_t p = stat.rfind(')');
  if (p == std::string::npos) return -1;
  // Fields after the command: state is field 3; utime and stime are 14 and 15.
  long values[13] = {};
  const char* c = stat.c_str() + p + 2;
  for (int i = 0; i < 13 && *c; ++i) {
    while (*c == ' ') ++c;
    values[i] = atol(c);
    while (*c && *c != ' ') ++c;
  }
  return (values[11] + values[12]) * 10;  // clock ticks of 10 ms
}

inline long LinuxStatusKb(const std::string& needle, const char* field) {
  const std::string dir = LinuxProcDir(needle);
  if (dir.empty()) return -1;
  const std::string status = ReadProcFile(dir + "\\status");
  size_t at = status.find(std::string(field) + ":");
  if (at == std::string::npos) return -1;
  return atol(status.c_str() + at + strlen(field) + 1);
}

}  // namespace qmtest
