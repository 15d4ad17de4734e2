// The yardstick of the start-up figure: a Win32 program that shows one
// window and nothing else.
#include <windows.h>

static LRESULT CALLBACK MinimalProc(HWND h, UINT m, WPARAM w, LPARAM l) {
  if (m == WM_DESTROY) PostQuitMessage(0);
  return DefWindowProcW(h, m, w, l);
}

int APIENTRY wWinMain(HINSTANCE instance, HINSTANCE, LPWSTR, int) {
  WNDCLASSW wc = {};
  wc.lpfnWndProc = &MinimalProc;
  wc.hInstance = instance;
  wc.lpszClassName = L"MinimalWindow";
  wc.hbrBackground = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
  RegisterClassW(&wc);
  CreateWindowW(L"MinimalWindow", L"Minimal", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 100, 100, 400, 300, nullptr, nullptr,
                instance, nullptr);
  MSG msg;
  while (GetMessageW(&msg, nullptr, 0, 0) > 0) DispatchMessageW(&msg);
  return 0;
}
