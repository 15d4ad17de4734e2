#pragma once

#include <windows.h>

#include <string>

namespace qmtest {

struct ChildResult {
  bool finished = false;  // false: killed after the time-out
  DWORD exitCode = 0;
  std::string output;     // stdout and stderr together
};

// Runs `commandLine` (program first) with its output captured; ends it after
// `timeoutMs`. `env` entries ("NAME=value") are added to this process's
// environment for the child only.
inline ChildResult RunChild(const std::wstring& commandLine, DWORD timeoutMs = 20000,
                            const std::wstring& envName = L"", const std::wstring& envValue = L"") {
  ChildResult result;
  SECURITY_ATTRIBUTES sa = {sizeof(sa), nullptr, TRUE};
  HANDLE readEnd = nullptr, writeEnd = nullptr;
  CreatePipe(&readEnd, &writeEnd, &sa, 0);
  SetHandleInformation(readEnd, HANDLE_FLAG_INHERIT, 0);
  STARTUPINFOW si = {sizeof(si)};
  si.dwFlags = STARTF_USESTDHANDLES;
  si.hStdOutput = writeEnd;
  si.hStdError = writeEnd;
  si.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
  PROCESS_INFORMATION pi = {};
  std::wstring cmd = commandLine;
  if (!envName.empty()) SetEnvironmentVariableW(envName.c_str(), envValue.c_str());
  BOOL ok = CreateProcessW(nullptr, &cmd[0], nullptr, nullptr, TRUE, 0, nullptr, nullptr, &si, &pi);
  if (!envName.empty()) SetEnvironmentVariableW(envName.c_str(), nullptr);
  CloseHandle(writeEnd);
  if (!ok) {
    CloseHandle(readEnd);
    return result;
  }
  // Read while waiting, so that a chatty child never blocks on a full pipe.
  const DWORD start = GetTickCount();
  for (;;) {
    DWORD avail = 0;
    while (PeekNamedPipe(readEnd, nullptr, 0, nullptr, &avail, nullptr) && avail > 0) {
      char buf[4096];
      DWORD got = 0;
      if (!ReadFile(readEnd, buf, sizeof(buf), &got, nullptr) || got == 0) break;
      result.output.append(buf, got);
    }
    if (WaitForSingleObject(pi.hProcess, 20) == WAIT_OBJECT_0) {
      result.finished = true;
      break;
    }
    if (GetTickCount() - start > timeoutMs) {
      TerminateProcess(pi.hProcess, 99);
      WaitForSingleObject(pi.hProcess, 5000);
      break;
    }
  }
  char buf[4096];
  DWORD got = 0;
  while (ReadFile(readEnd, buf, sizeof(buf), &got, nullptr) && got > 0) result.output.append(buf, got);
  GetExitCodeProcess(pi.hProcess, &result.exitCode);
  CloseHandle(pi.hProcess);
  CloseHandle(pi.hThread);
  CloseHandle(readEnd);
  return result;
}

inline std::wstring SelfPath() {
  wchar_t path[MAX_PATH];
  GetModuleFileNameW(nullptr, path, MAX_PATH);
  return path;
}

}  // namespace qmtest
