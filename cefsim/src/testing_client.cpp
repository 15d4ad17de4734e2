// The cross-process side of the testing interface: commands sent to a
// browser window as WM_COPYDATA.
#include <windows.h>

#include <string>
#include <vector>

#include "cefsim/testing.h"

namespace cefsim {
namespace testing {

namespace {

std::wstring* g_reply = nullptr;  // the listing being received on this thread

LRESULT CALLBACK ReplyWindowProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  if (msg == WM_COPYDATA) {
    auto* cds = reinterpret_cast<COPYDATASTRUCT*>(lp);
    if (g_reply && cds && cds->dwData == kCopyDataMagic)
      g_reply->assign(static_cast<const wchar_t*>(cds->lpData), cds->cbData / sizeof(wchar_t));
    return 1;
  }
  return DefWindowProcW(hwnd, msg, wp, lp);
}

}  // namespace

LRESULT SendCommand(HWND browserWindow, const std::wstring& command) {
  COPYDATASTRUCT cds = {kCopyDataMagic, static_cast<DWORD>(command.size() * sizeof(wchar_t)),
                        const_cast<wchar_t*>(command.data())};
  DWORD_PTR result = 0;
  if (!SendMessageTimeoutW(browserWindow, WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&cds), SMTO_NORMAL, 10000,
                           &result))
    return 0;
  return static_cast<LRESULT>(result);
}

namespace {

// Sends `verb` with a reply window of this thread; the answer arrives as a
// message sent to this thread while it waits in SendCommand.
std::wstring Ask(HWND browserWindow, const std::wstring& verb) {
  static const wchar_t kClass[] = L"CefSimReplyWindow";
  WNDCLASSW wc = {};
  wc.lpfnWndProc = &ReplyWindowProc;
  wc.hInstance = GetModuleHandleW(nullptr);
  wc.lpszClassName = kClass;
  RegisterClassW(&wc);
  HWND reply = CreateWindowW(kClass, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, GetModuleHandleW(nullptr), nullptr);
  std::wstring text;
  g_reply = &text;
  SendCommand(browserWindow, verb + L"\t" + std::to_wstring(reinterpret_cast<LONG_PTR>(reply)));
  g_reply = nullptr;
  DestroyWindow(reply);
  return text;
}

}  // namespace

Settings QuerySettings(HWND anyBrowserWindow) {
  std::wstring text = Ask(anyBrowserWindow, L"settings");
  Settings s;
  size_t a = text.find(L'\t'), b = text.find(L'\t', a + 1), c = text.find(L'\t', b + 1);
  if (a == std::wstring::npos || b == std::wstring::npos || c == std::wstring::npos) return s;
  s.multiThreadedMessageLoop = text.substr(0, a) == L"1";
  s.cachePath = text.substr(a + 1, b - a - 1);
  s.locale = text.substr(b + 1, c - b - 1);
  s.commandLine = text.substr(c + 1);
  return s;
}

std::vector<BrowserInfo> QueryBrowsers(HWND anyBrowserWindow) {
  std::wstring text = Ask(anyBrowserWindow, L"list");

  std::vector<BrowserInfo> out;
  size_t start = 0;
  while (start < text.size()) {
    size_t end = text.find(L'\n', start);
    if (end == std::wstring::npos) end = text.size();
    std::wstring line = text.substr(start, end - start);
    start = end + 1;
    std::vector<std::wstring> f;
    size_t p = 0;
    for (int i = 0; i < 5; ++i) {
      size_t tab = line.find(L'\t', p);
      if (tab == std::wstring::npos) break;
      f.push_back(line.substr(p, tab - p));
      p = tab + 1;
    }
    if (f.size() < 5) continue;
    BrowserInfo b;
    b.id = _wtoi(f[0].c_str());
    b.window = reinterpret_cast<HWND>(static_cast<LONG_PTR>(_wtoi64(f[1].c_str())));
    b.parent = reinterpret_cast<HWND>(static_cast<LONG_PTR>(_wtoi64(f[2].c_str())));
    b.popup = f[3] == L"1";
    b.url = f[4];
    b.title = line.substr(p);
    out.push_back(b);
  }
  return out;
}

}  // namespace testing
}  // namespace cefsim
