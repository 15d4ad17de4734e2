// The launcher's figures, measured in one run on one Wine prefix and
// printed as Markdown:
//   start-up to the login screen against a program that shows one window,
//   the game-start road (median and worst), the cost of a layout pass,
//   CPU used while idle, and the footprint after start-up.
//   qmbench [--short]
#include <windows.h>

#include <stdio.h>

#include <algorithm>
#include <functional>
#include <string>
#include <vector>

#include "app/launcher.h"
#include "app/simple_app.h"
#include "cefsim/testing.h"
#include "support/launcher_process.h"
#include "support/proc_status.h"
#include "ui/DuiFormGame.h"

namespace {

using qmtest::LauncherProcess;
using qmtest::BrowserOf;
using qmtest::PumpUntil;

double NowMs() {
  static LARGE_INTEGER freq = [] {
    LARGE_INTEGER f;
    QueryPerformanceFrequency(&f);
    return f;
  }();
  LARGE_INTEGER t;
  QueryPerformanceCounter(&t);
  return 1000.0 * static_cast<double>(t.QuadPart) / static_cast<double>(freq.QuadPart);
}

double Median(std::vector<double> v) {
  std::sort(v.begin(), v.end());
  return v.empty() ? 0 : v[v.size() / 2];
}

std::wstring Sibling(const wchar_t* name) {
  std::wstring exe = LauncherProcess::ExePath();
  return exe.substr(0, exe.find_last_of(L'\\') + 1) + name;
}

// Milliseconds from CreateProcess until `ready` holds; the process is then
// closed with WM_CLOSE to `closeTarget()`.
double TimeStart(const std::wstring& exe, const std::function<bool(LauncherProcess&)>& ready,
                 const std::function<HWND(LauncherProcess&)>& closeTarget) {
  LauncherProcess p;
  const double start = NowMs();
  if (!p.Start(L"", nullptr, nullptr, exe)) return -1;
  if (!PumpUntil([&] { return ready(p); }, 30000)) return -1;
  const double took = NowMs() - start;
  PostMessageW(closeTarget(p), WM_CLOSE, 0, 0);
  DWORD code;
  p.WaitExit(10000, &code);
  return took;
}

bool BrowserPlaced(HWND game) {
  RECT rc;
  GetWindowRect(BrowserOf(game), &rc);
  MapWindowPoints(nullptr, game, reinterpret_cast<POINT*>(&rc), 2);
  return rc.left == 2 && rc.top == 32;
}

}  // namespace

int main(int argc, char** argv) {
  const bool shortRun = argc > 1 && std::string(argv[1]) == "--short";
  const int startRuns = shortRun ? 2 : 5;
  const int gameRuns = shortRun ? 10 : 50;
  const int idleSeconds = shortRun ? 3 : 10;

  // Start-up: the login screen with its page's browser, against one window.
  std::vector<double> launcher, minimal;
  for (int i = 0; i < startRuns; ++i) {
    minimal.push_back(TimeStart(
        [] {
          std::wstring self = qmtest::SelfPath();
          return self.substr(0, self.find_last_of(L'\\') + 1) + L"bench_minimal.exe";
        }(),
        [](LauncherProcess& p) {
          for (const auto& w : p.TopLevelWindows())
            if (w.title == L"Minimal" && IsWindowVisible(w.hwnd)) return true;
          return false;
        },
        [](LauncherProcess& p) { return p.FindTopLevel(L"MinimalWindow", L"Minimal"); }));
    launcher.push_back(TimeStart(
        LauncherProcess::ExePath(),
        [](LauncherProcess& p) {
          HWND login = p.FindTopLevel(L"XMLWnd", L"Quelmarch");
          HWND pane = p.FindTopLevel(L"XMLWnd", L"LoginBrowser");
          return login && IsWindowVisible(login) && pane && IsWindowVisible(pane) && BrowserOf(pane);
        },
        [](LauncherProcess& p) { return p.FindTopLevel(L"XMLWnd", L"Quelmarch"); }));
  }

  // One launcher for the rest.
  LauncherProcess p;
  p.Start();
  HWND login = p.WaitForWindow(L"XMLWnd", L"Quelmarch");
  HWND pane = p.WaitForWindow(L"XMLWnd", L"LoginBrowser");
  HWND page = nullptr;
  PumpUntil([&] { return (page = BrowserOf(pane)) != nullptr; });
  PumpUntil([&] { return cefsim::testing::SendCommand(page, L"idle") == 1; });

  // Footprint and idle CPU after start-up.
  HANDLE process = OpenProcess(PROCESS_QUERY_INFORMATION, FALSE, p.pid());
  const long rss = qmtest::LinuxStatusKb("quelmarch.exe", "VmRSS");
  const long data = qmtest::LinuxStatusKb("quelmarch.exe", "VmData");
  const DWORD gdi = GetGuiResources(process, GR_GDIOBJECTS), user = GetGuiResources(process, GR_USEROBJECTS);
  const size_t windows = p.TopLevelWindows().size();
  // The pointer rests away from the launcher, as while a player reads: Wine
  // tracks the mouse over a window with a polling timer of its own.
  SetCursorPos(0, GetSystemMetrics(SM_CYSCREEN) - 1);
  Sleep(200);
  const long cpu0 = qmtest::LinuxCpuMs("quelmarch.exe");
  Sleep(idleSeconds * 1000);
  const long cpu1 = qmtest::LinuxCpuMs("quelmarch.exe");
  CloseHandle(process);

  // The game-start road: navigation to game window shown, browser placed.
  std::vector<double> road;
  for (int i = 0; i < gameRuns; ++i) {
    const double start = NowMs();
    cefsim::testing::SendCommand(page, L"navigate\t\t0\tdata:text/html,game " + std::to_wstring(i) + L"?client=2");
    HWND game = nullptr;
    if (!PumpUntil([&] { return (game = p.GameWindow()) != nullptr && BrowserPlaced(game); }, 10000)) break;
    road.push_back(NowMs() - start);
    PostMessageW(game, WM_CLOSE, 0, 0);
    PumpUntil([&] {
      return !IsWindow(game) && IsWindowVisible(login) && cefsim::testing::SendCommand(page, L"idle") == 1;
    });
  }
  PostMessageW(login, WM_CLOSE, 0, 0);
  DWORD code;
  p.WaitExit(10000, &code);

  // Layout passes, in this process: a game window over cefsim.
  CefRefPtr<SimpleApp> app = new SimpleApp;
  StartBrowserProcess(GetModuleHandleW(nullptr), app.get());
  CPaintManagerUI::SetResourcePath(Sibling(L"skin").c_str());
  CDuiFormGame* game = new CDuiFormGame;
  HWND owner = CreateWindowW(L"STATIC", L"", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr);
  game->CreateGameWnd(owner, L"about:blank");
  PumpUntil([&] { return game->m_pGameClient->GetBrowser() != nullptr; });
  cefsim::testing::WaitForIdle();
  const int passes = 1000;
  const double t0 = NowMs();
  for (int i = 0; i < passes; ++i) game->UpdateLayout();
  const double perPassUs = 1000.0 * (NowMs() - t0) / passes;
  DestroyWindow(*game);
  DestroyWindow(owner);
  cefsim::testing::WaitForIdle();
  ShutdownCef();

  const double launcherMs = Median(launcher), minimalMs = Median(minimal);
  printf("| figure | value |\n|---|---|\n");
  printf("| start-up to the login screen with its browser (median of %d) | %.0f ms |\n", startRuns, launcherMs);
  printf("| start-up of a program that shows one window (median of %d) | %.0f ms |\n", startRuns, minimalMs);
  printf("| ratio launcher / one-window program | %.2f |\n", minimalMs > 0 ? launcherMs / minimalMs : 0.0);
  printf("| game-start road, navigation to game shown with its browser placed (median of %zu) | %.1f ms |\n",
         road.size(), Median(road));
  printf("| game-start road, worst of %zu | %.1f ms |\n", road.size(),
         road.empty() ? 0.0 : *std::max_element(road.begin(), road.end()));
  printf("| layout pass of the game window (mean of %d) | %.1f us |\n", passes, perPassUs);
  printf("| CPU used by the idle launcher over %d s | %ld ms (%.2f %%) |\n", idleSeconds, cpu1 - cpu0,
         100.0 * (cpu1 - cpu0) / (idleSeconds * 1000.0));
  printf("| resident memory after start-up (VmRSS) | %ld kB |\n", rss);
  printf("| data segment after start-up (VmData, the private bytes' stand-in) | %ld kB |\n", data);
  printf("| GDI / USER objects after start-up (GetGuiResources; Wine answers 0) | %lu / %lu |\n", gdi, user);
  printf("| top-level windows after start-up | %zu |\n", windows);
  const bool ok = !launcher.empty() && launcherMs > 0 && minimalMs > 0 && static_cast<int>(road.size()) == gameRuns;
  return ok ? 0 : 1;
}
