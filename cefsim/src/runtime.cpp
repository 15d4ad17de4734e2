// The runtime behind cefsim's CEF headers: process start, CEF's UI thread,
// browsers with real windows, navigation and shut-down.
//
// Threads. The thread that calls CefInitialize is the main thread. With
// multi_threaded_message_loop the runtime starts its own UI thread, which
// owns every browser window and runs every client callback; other threads
// reach it only through posted tasks, so no call made from another thread
// waits for it (LoadURL, CreateBrowser, the testing interface). The one
// exception is shut-down, which joins the UI thread while still answering
// the messages that thread sends to the main thread's windows.
#include <windows.h>

#include <stdio.h>

#include <algorithm>
#include <deque>
#include <list>
#include <map>
#include <mutex>
#include <thread>
#include <vector>

#include "cefsim/testing.h"
#include "include/cef_app.h"
#include "include/cef_browser.h"
#include "include/cef_client.h"
#include "include/cef_task.h"
#include "src/runtime_internal.h"

namespace cefsim {

namespace {

const UINT WM_RUN_TASKS = WM_APP + 1;
const wchar_t kTaskWindowClass[] = L"CefSimTaskWindow";
const wchar_t kBrowserWindowClass[] = L"CefBrowserWindow";
const int kMaxRedirects = 20;

class BrowserImpl;
class FrameImpl;

enum class State { kNotStarted, kRunning, kShuttingDown, kShutDown };

class FunctionTask : public CefTask {
 public:
  explicit FunctionTask(std::function<void()> fn) : fn_(std::move(fn)) {}
  void Execute() override { fn_(); }

 private:
  std::function<void()> fn_;
  IMPLEMENT_REFCOUNTING(FunctionTask);
};

// Process-wide state. `mu` guards everything below it that other threads
// read; the browsers' own navigation state is the UI thread's alone.
struct Runtime {
  std::mutex mu;
  State state = State::kNotStarted;
  bool multiThreaded = false;
  DWORD mainThreadId = 0;
  DWORD uiThreadId = 0;
  HANDLE uiThread = nullptr;
  HWND taskWindow = nullptr;
  std::deque<CefRefPtr<CefTask>> tasks;
  int runningTasks = 0;
  CefRefPtr<CefApp> app;
  CefRefPtr<CefCommandLine> commandLine;
  std::vector<CefRefPtr<BrowserImpl>> browsers;  // oldest first
  std::list<std::shared_ptr<FetchJob>> jobs;     // loads on worker threads
  int nextBrowserId = 1;
  bool runLoopQuit = false;
  std::wstring cachePath;
  std::wstring locale;
};

Runtime& R() {
  static Runtime* runtime = new Runtime;  // never destroyed: worker threads may outlive statics
  return *runtime;
}

[[noreturn]] void FailLoudly(const char* what) {
  fprintf(stderr, "cefsim: FATAL: %s\n", what);
  fflush(stderr);
  OutputDebugStringA(what);
  // The exit code of a failed CHECK in Chromium (a breakpoint).
  TerminateProcess(GetCurrentProcess(), 0x80000003);
  for (;;) Sleep(INFINITE);
}

// Queues work for the UI thread. `internal` work is accepted during
// shut-down too.
bool PostToUi(CefRefPtr<CefTask> task, bool internal = false) {
  Runtime& r = R();
  std::lock_guard<std::mutex> lock(r.mu);
  if (!(r.state == State::kRunning || (internal && r.state == State::kShuttingDown)) || !r.taskWindow) return false;
  r.tasks.push_back(task);
  PostMessageW(r.taskWindow, WM_RUN_TASKS, 0, 0);
  return true;
}

bool PostToUi(std::function<void()> fn, bool internal = false) {
  return PostToUi(new FunctionTask(std::move(fn)), internal);
}

void RunQueuedTasks() {
  Runtime& r = R();
  for (;;) {
    CefRefPtr<CefTask> task;
    {
      std::lock_guard<std::mutex> lock(r.mu);
      if (r.tasks.empty()) return;
      task = r.tasks.front();
      r.tasks.pop_front();
      ++r.runningTasks;
    }
    task->Execute();
    task = nullptr;
    std::lock_guard<std::mutex> lock(r.mu);
    --r.runningTasks;
  }
}

LRESULT CALLBACK TaskWindowProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  if (msg == WM_RUN_TASKS) {
    RunQueuedTasks();
    return 0;
  }
  return DefWindowProcW(hwnd, msg, wp, lp);
}

// Dispatches only the messages other threads send to this one, while the
// caller waits for `handle`.
void WaitAnsweringSentMessages(HANDLE handle, DWORD timeoutMs) {
  const DWORD start = GetTickCount();
  for (;;) {
    DWORD left = timeoutMs == INFINITE ? INFINITE : timeoutMs - (std::min)(timeoutMs, GetTickCount() - start);
    DWORD w = MsgWaitForMultipleObjects(1, &handle, FALSE, left, QS_SENDMESSAGE);
    if (w != WAIT_OBJECT_0 + 1) return;
    MSG msg;
    PeekMessageW(&msg, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
  }
}

std::wstring ProcessType(CefRefPtr<CefCommandLine> cmd) { return cmd->GetSwitchValue("type").ToWString(); }

// ---- frames and browsers

class FrameImpl : public CefFrame {
 public:
  FrameImpl(BrowserImpl* browser, const std::wstring& name, bool main, int64 id)
      : browser_(browser), name_(name), main_(main), id_(id) {}

  bool IsValid() override;
  void LoadRequest(CefRefPtr<CefRequest> request) override { if (request) LoadURL(request->GetURL()); }
  void LoadURL(const CefString& url) override;
  void LoadString(const CefString& string_val, const CefString& url) override;
  void ExecuteJavaScript(const CefString&, const CefString&, int) override {}
  bool IsMain() override { return main_; }
  bool IsFocused() override { return main_; }
  CefString GetName() override { return name_; }
  int64 GetIdentifier() override { return id_; }
  CefRefPtr<CefFrame> GetParent() override;
  CefString GetURL() override {
    std::lock_guard<std::mutex> lock(mu_);
    return url_;
  }
  CefRefPtr<CefBrowser> GetBrowser() override;

  // UI thread only.
  int seq = 0;                 // bumped by every navigation; stale results are dropped
  bool pending = false;        // a navigation is under way
  std::wstring pendingUrl;
  std::shared_ptr<FetchJob> job;
  void SetDocument(const std::wstring& url, const std::wstring& html) {
    std::lock_guard<std::mutex> lock(mu_);
    url_ = url;
    document_ = html;
  }
  std::wstring Document() {
    std::lock_guard<std::mutex> lock(mu_);
    return document_;
  }
  void Detach() {
    std::lock_guard<std::mutex> lock(mu_);
    detached_ = true;
  }

 private:
  BrowserImpl* browser_;  // valid until Detach
  std::wstring name_;
  bool main_;
  int64 id_;
  std::mutex mu_;
  std::wstring url_;
  std::wstring document_;
  bool detached_ = false;
  IMPLEMENT_REFCOUNTING(FrameImpl);
};

class BrowserImpl : public CefBrowser, public CefBrowserHost {
 public:
  BrowserImpl(int id, CefRefPtr<CefClient> client, bool popup) : id_(id), client_(client), popup_(popup) {
    main_ = new FrameImpl(this, L"", true, static_cast<int64>(id) << 32);
  }

  // CefBrowser
  CefRefPtr<CefBrowserHost> GetHost() override { return this; }
  bool CanGoBack() override { return false; }
  void GoBack() override {}
  bool CanGoForward() override { return false; }
  void GoForward() override {}
  bool IsLoading() override { return loading_.load(); }
  void Reload() override {
    CefRefPtr<CefFrame> frame = GetMainFrame();
    if (frame) frame->LoadURL(frame->GetURL());
  }
  void ReloadIgnoreCache() override { Reload(); }
  void StopLoad() override {}
  int GetIdentifier() override { return id_; }
  bool IsSame(CefRefPtr<CefBrowser> that) override { return that && that->GetIdentifier() == id_; }
  bool IsPopup() override { return popup_; }
  bool HasDocument() override { return true; }
  CefRefPtr<CefFrame> GetMainFrame() override {
    std::lock_guard<std::mutex> lock(mu_);
    return main_.get();
  }
  CefRefPtr<CefFrame> GetFocusedFrame() override { return GetMainFrame(); }
  CefRefPtr<CefFrame> GetFrame(const CefString& name) override {
    std::lock_guard<std::mutex> lock(mu_);
    if (name.empty()) return main_.get();
    auto it = subframes_.find(name.ToWString());
    return it == subframes_.end() ? nullptr : it->second.get();
  }
  size_t GetFrameCount() override {
    std::lock_guard<std::mutex> lock(mu_);
    return (main_ ? 1 : 0) + subframes_.size();
  }
  void GetFrameNames(std::vector<CefString>& names) override {
    std::lock_guard<std::mutex> lock(mu_);
    names.clear();
    if (main_) names.push_back(L"");
    for (auto& f : subframes_) names.push_back(f.first);
  }

  // CefBrowserHost
  CefRefPtr<CefBrowser> GetBrowser() override { return this; }
  void CloseBrowser(bool force_close) override;
  void SetFocus(bool focus) override {}
  void SetWindowVisibility(bool visible) override {}
  CefWindowHandle GetWindowHandle() override { return hwnd_.load(); }
  CefWindowHandle GetOpenerWindowHandle() override { return nullptr; }
  CefRefPtr<CefClient> GetClient() override { return client_; }
  CefRefPtr<CefRequestContext> GetRequestContext() override { return CefRequestContext::GetGlobalContext(); }
  double GetZoomLevel() override { return 0; }
  void SetZoomLevel(double) override {}
  void WasResized() override {}
  void WasHidden(bool) override {}

  // UI thread only from here on.
  bool CreateWindowOnUi(const cef_window_info_t& info);
  FrameImpl* FrameNamed(const std::wstring& name, bool create) {
    std::lock_guard<std::mutex> lock(mu_);
    if (name.empty()) return main_.get();
    auto it = subframes_.find(name);
    if (it != subframes_.end()) return it->second.get();
    if (!create || !main_) return nullptr;
    CefRefPtr<FrameImpl> frame = new FrameImpl(this, name, false, main_->GetIdentifier() + subframes_.size() + 1);
    subframes_[name] = frame;
    return frame.get();
  }
  std::vector<CefRefPtr<FrameImpl>> AllFrames() {
    std::lock_guard<std::mutex> lock(mu_);
    std::vector<CefRefPtr<FrameImpl>> all;
    if (main_) all.push_back(main_);
    for (auto& f : subframes_) all.push_back(f.second);
    return all;
  }
  void SetDocument(const std::wstring& url, const std::wstring& title, const std::wstring& text) {
    std::lock_guard<std::mutex> lock(mu_);
    url_ = url;
    title_ = title;
    text_ = text;
  }
  void SetTitle(const std::wstring& title) {
    std::lock_guard<std::mutex> lock(mu_);
    title_ = title;
  }
  testing::BrowserInfo Info() {
    std::lock_guard<std::mutex> lock(mu_);
    testing::BrowserInfo info;
    info.id = id_;
    info.client = client_;
    info.window = hwnd_.load();
    info.parent = parent_;
    info.popup = popup_;
    info.url = url_;
    info.title = title_;
    return info;
  }
  void Paint(HDC hdc, const RECT& rc) {
    std::wstring title, text;
    {
      std::lock_guard<std::mutex> lock(mu_);
      title = title_;
      text = text_;
    }
    FillRect(hdc, &rc, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    SetBkMode(hdc, TRANSPARENT);
    SelectObject(hdc, GetStockObject(DEFAULT_GUI_FONT));
    RECT r = {rc.left + 8, rc.top + 8, rc.right - 8, rc.bottom - 8};
    SetTextColor(hdc, RGB(0x20, 0x20, 0x60));
    DrawTextW(hdc, title.c_str(), -1, &r, DT_SINGLELINE | DT_NOPREFIX | DT_END_ELLIPSIS);
    r.top += 24;
    SetTextColor(hdc, RGB(0x20, 0x20, 0x20));
    DrawTextW(hdc, text.c_str(), -1, &r, DT_WORDBREAK | DT_NOPREFIX);
  }
  // After the window is gone: the client's last callbacks, then every
  // reference the runtime holds goes.
  void OnWindowDestroyed();
  void set_loading(bool loading) { loading_ = loading; }
  bool loading_state = false;  // what OnLoadingStateChange last said

 private:
  int id_;
  CefRefPtr<CefClient> client_;
  bool popup_;
  std::atomic<HWND> hwnd_{nullptr};
  HWND parent_ = nullptr;
  std::atomic<bool> loading_{false};
  std::mutex mu_;
  CefRefPtr<FrameImpl> main_;
  std::map<std::wstring, CefRefPtr<FrameImpl>> subframes_;
  std::wstring url_, title_, text_;
  IMPLEMENT_REFCOUNTING(BrowserImpl);
};

bool FrameImpl::IsValid() {
  std::lock_guard<std::mutex> lock(mu_);
  return !detached_;
}

CefRefPtr<CefBrowser> FrameImpl::GetBrowser() {
  std::lock_guard<std::mutex> lock(mu_);
  return detached_ ? nullptr : browser_;
}

CefRefPtr<CefFrame> FrameImpl::GetParent() {
  if (main_) return nullptr;
  CefRefPtr<CefBrowser> b = GetBrowser();
  return b ? b->GetMainFrame() : nullptr;
}

CefRefPtr<BrowserImpl> FindBrowser(int id) {
  Runtime& r = R();
  std::lock_guard<std::mutex> lock(r.mu);
  for (auto& b : r.browsers)
    if (b->GetIdentifier() == id) return b;
  return nullptr;
}

// ---- navigation (UI thread)

void StartLoad(CefRefPtr<BrowserImpl> b, CefRefPtr<FrameImpl> f, const std::wstring& url, int redirects);

void SetLoadingState(CefRefPtr<BrowserImpl> b, bool loading) {
  b->set_loading(loading);
  if (b->loading_state == loading) return;
  b->loading_state = loading;
  CefRefPtr<CefLoadHandler> lh = b->GetClient() ? b->GetClient()->GetLoadHandler() : nullptr;
  if (lh) lh->OnLoadingStateChange(b.get(), loading, false, false);
}

void ReportError(CefRefPtr<BrowserImpl> b, CefRefPtr<FrameImpl> f, int code, const std::wstring& url) {
  CefRefPtr<CefLoadHandler> lh = b->GetClient() ? b->GetClient()->GetLoadHandler() : nullptr;
  if (lh) lh->OnLoadError(b.get(), f.get(), static_cast<cef_errorcode_t>(code), testing::ErrorName(code), url);
}

// Cancels the frame's network load. A cancelled load no longer counts as
// work under way, even while its worker thread is still winding down.
void CancelJob(CefRefPtr<FrameImpl> f) {
  if (!f->job) return;
  f->job->Cancel();
  {
    Runtime& r = R();
    std::lock_guard<std::mutex> lock(r.mu);
    r.jobs.remove(f->job);
  }
  f->job.reset();
}

void EndPending(CefRefPtr<FrameImpl> f) {
  CancelJob(f);
  f->pending = false;
  ++f->seq;
}

// A navigation that replaces one under way ends that one with ERR_ABORTED.
void AbortPending(CefRefPtr<BrowserImpl> b, CefRefPtr<FrameImpl> f) {
  if (!f->pending) return;
  std::wstring url = f->pendingUrl;
  EndPending(f);
  ReportError(b, f, ERR_ABORTED, url);
}

void Fail(CefRefPtr<BrowserImpl> b, CefRefPtr<FrameImpl> f, int code, const std::wstring& url) {
  EndPending(f);
  ReportError(b, f, code, url);
  if (f->IsMain()) SetLoadingState(b, false);
}

void Commit(CefRefPtr<BrowserImpl> b, CefRefPtr<FrameImpl> f, const std::wstring& url, const std::wstring& html,
            int status) {
  EndPending(f);
  f->SetDocument(url, html);
  CefRefPtr<CefClient> client = b->GetClient();
  CefRefPtr<CefDisplayHandler> dh = client ? client->GetDisplayHandler() : nullptr;
  CefRefPtr<CefLoadHandler> lh = client ? client->GetLoadHandler() : nullptr;
  if (f->IsMain()) {
    std::wstring title = PageTitle(html);
    if (title.empty()) title = url;
    b->SetDocument(url, title, PageText(html));
    if (HWND hwnd = b->GetWindowHandle()) InvalidateRect(hwnd, nullptr, TRUE);
    if (dh) dh->OnAddressChange(b.get(), f.get(), url);
    if (lh) lh->OnLoadStart(b.get(), f.get());
    if (dh) dh->OnTitleChange(b.get(), title);
    if (lh) lh->OnLoadEnd(b.get(), f.get(), status);
    SetLoadingState(b, false);
  } else {
    if (lh) lh->OnLoadStart(b.get(), f.get());
    if (lh) lh->OnLoadEnd(b.get(), f.get(), status);
  }
}

// Asks the request handler; true when the navigation may go on.
bool OfferToRequestHandler(CefRefPtr<BrowserImpl> b, CefRefPtr<FrameImpl> f, const std::wstring& url,
                           bool isRedirect) {
  CefRefPtr<CefClient> client = b->GetClient();
  CefRefPtr<CefRequestHandler> rh = client ? client->GetRequestHandler() : nullptr;
  if (!rh) return true;
  return !rh->OnBeforeBrowse(b.get(), f.get(), NewRequest(url), isRedirect);
}

void Navigate(CefRefPtr<BrowserImpl> b, CefRefPtr<FrameImpl> f, const std::wstring& url, bool isRedirect,
              int redirects = 0) {
  if (!b->GetWindowHandle()) return;  // closed
  if (isRedirect && f->pending) {
    // The navigation under way goes on to `url`, or ends if the handler
    // cancels the redirect.
    std::wstring from = f->pendingUrl;
    if (!OfferToRequestHandler(b, f, url, true)) {
      Fail(b, f, ERR_ABORTED, from);
      return;
    }
    if (!f->pending) return;  // the handler started another navigation
    if (redirects > kMaxRedirects) {
      Fail(b, f, ERR_TOO_MANY_REDIRECTS, url);
      return;
    }
    StartLoad(b, f, url, redirects);
    return;
  }
  if (!OfferToRequestHandler(b, f, url, isRedirect)) return;
  if (!b->GetWindowHandle()) return;
  AbortPending(b, f);
  if (f->IsMain()) SetLoadingState(b, true);
  StartLoad(b, f, url, 0);
}

void FinishFetch(CefRefPtr<BrowserImpl> b, CefRefPtr<FrameImpl> f, int seq, const std::wstring& url, int redirects,
                 const FetchResult& result) {
  if (f->seq != seq || !f->pending || !b->GetWindowHandle()) return;  // replaced or closed meanwhile
  switch (result.kind) {
    case FetchResult::kDone:
      Commit(b, f, url, DecodeBody(result.body), result.status);
      break;
    case FetchResult::kRedirect:
      Navigate(b, f, result.location, true, redirects + 1);
      break;
    case FetchResult::kError:
      Fail(b, f, result.error, url);
      break;
  }
}

void StartLoad(CefRefPtr<BrowserImpl> b, CefRefPtr<FrameImpl> f, const std::wstring& url, int redirects) {
  CancelJob(f);
  const int seq = ++f->seq;
  f->pending = true;
  f->pendingUrl = url;
  FetchResult local;
  if (FetchLocal(url, &local)) {
    // Answered on a later turn of the UI thread, as a network load would be.
    PostToUi([=] { FinishFetch(b, f, seq, url, redirects, local); }, true);
    return;
  }
  auto job = std::make_shared<FetchJob>();
  f->job = job;
  {
    Runtime& r = R();
    std::lock_guard<std::mutex> lock(r.mu);
    r.jobs.push_back(job);
  }
  std::thread([=] {
    FetchResult result = job->Run(url);
    {
      Runtime& r = R();
      std::lock_guard<std::mutex> lock(r.mu);
      r.jobs.remove(job);
    }
    if (!job->cancelled()) PostToUi([=] { FinishFetch(b, f, seq, url, redirects, result); });
  }).detach();
}

void LoadDocument(CefRefPtr<BrowserImpl> b, CefRefPtr<FrameImpl> f, const std::wstring& html, const std::wstring& url) {
  if (!b->GetWindowHandle()) return;
  AbortPending(b, f);
  Commit(b, f, url, html, 200);
}

void FrameImpl::LoadURL(const CefString& url) {
  CefRefPtr<BrowserImpl> b;
  {
    std::lock_guard<std::mutex> lock(mu_);
    if (detached_) return;
    b = browser_;
  }
  CefRefPtr<FrameImpl> self = this;
  std::wstring target = url.ToWString();
  PostToUi([=] { Navigate(b, self, target, false); });
}

void FrameImpl::LoadString(const CefString& string_val, const CefString& url) {
  CefRefPtr<BrowserImpl> b;
  {
    std::lock_guard<std::mutex> lock(mu_);
    if (detached_) return;
    b = browser_;
  }
  CefRefPtr<FrameImpl> self = this;
  std::wstring html = string_val.ToWString(), address = url.ToWString();
  PostToUi([=] { LoadDocument(b, self, html, address); });
}

// ---- browser windows (UI thread)

void HandleCommand(CefRefPtr<BrowserImpl> b, const std::wstring& command, LRESULT* answer);

LRESULT CALLBACK BrowserWindowProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  auto* b = reinterpret_cast<BrowserImpl*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
  switch (msg) {
    case WM_NCCREATE: {
      auto* cs = reinterpret_cast<CREATESTRUCTW*>(lp);
      SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(cs->lpCreateParams));
      break;
    }
    case WM_ERASEBKGND:
      return 1;
    case WM_PAINT: {
      PAINTSTRUCT ps;
      HDC hdc = BeginPaint(hwnd, &ps);
      RECT rc;
      GetClientRect(hwnd, &rc);
      if (b) b->Paint(hdc, rc);
      EndPaint(hwnd, &ps);
      return 0;
    }
    case WM_COPYDATA: {
      auto* cds = reinterpret_cast<COPYDATASTRUCT*>(lp);
      if (!b || !cds || cds->dwData != testing::kCopyDataMagic) return 0;
      std::wstring command(static_cast<const wchar_t*>(cds->lpData), cds->cbData / sizeof(wchar_t));
      LRESULT answer = 0;
      HandleCommand(b, command, &answer);
      return answer;
    }
    case WM_DESTROY:
      if (b) {
        CefRefPtr<BrowserImpl> keep = b;
        b->OnWindowDestroyed();
      }
      return 0;
    case WM_NCDESTROY:
      SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
      break;
  }
  return DefWindowProcW(hwnd, msg, wp, lp);
}

void RegisterClasses() {
  WNDCLASSEXW wc = {sizeof(wc)};
  wc.lpfnWndProc = &TaskWindowProc;
  wc.hInstance = GetModuleHandleW(nullptr);
  wc.lpszClassName = kTaskWindowClass;
  RegisterClassExW(&wc);
  wc.lpfnWndProc = &BrowserWindowProc;
  wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  wc.style = CS_DBLCLKS;
  wc.lpszClassName = kBrowserWindowClass;
  RegisterClassExW(&wc);
}

bool BrowserImpl::CreateWindowOnUi(const cef_window_info_t& info) {
  parent_ = info.parent_window;
  HWND hwnd = CreateWindowExW(info.ex_style, kBrowserWindowClass, info.window_name.str ? info.window_name.str : L"",
                              info.style, info.x, info.y, info.width, info.height, info.parent_window, info.menu,
                              GetModuleHandleW(nullptr), this);
  hwnd_ = hwnd;
  return hwnd != nullptr;
}

void BrowserImpl::CloseBrowser(bool force_close) {
  CefRefPtr<BrowserImpl> self = this;
  PostToUi(
      [=] {
        HWND hwnd = self->GetWindowHandle();
        if (!hwnd) return;
        CefRefPtr<CefLifeSpanHandler> lh = self->GetClient() ? self->GetClient()->GetLifeSpanHandler() : nullptr;
        if (!force_close && lh && lh->DoClose(self.get())) return;
        DestroyWindow(hwnd);
      },
      true);
}

void BrowserImpl::OnWindowDestroyed() {
  if (!hwnd_.load()) return;
  CefRefPtr<BrowserImpl> self = this;
  for (auto& f : AllFrames()) EndPending(f);
  CefRefPtr<CefLifeSpanHandler> lh = client_ ? client_->GetLifeSpanHandler() : nullptr;
  if (lh) {
    lh->DoClose(this);  // the window is gone already; the answer changes nothing
  }
  hwnd_ = nullptr;
  if (lh) lh->OnBeforeClose(this);
  {
    Runtime& r = R();
    std::lock_guard<std::mutex> lock(r.mu);
    for (auto it = r.browsers.begin(); it != r.browsers.end(); ++it) {
      if (it->get() == this) {
        r.browsers.erase(it);
        break;
      }
    }
  }
  // Frames and browser refer to each other; the cycle ends here.
  std::vector<CefRefPtr<FrameImpl>> frames;
  {
    std::lock_guard<std::mutex> lock(mu_);
    if (main_) frames.push_back(main_);
    for (auto& f : subframes_) frames.push_back(f.second);
    main_ = nullptr;
    subframes_.clear();
  }
  for (auto& f : frames) f->Detach();
  client_ = nullptr;
}

CefRefPtr<BrowserImpl> CreateBrowserOnUi(const cef_window_info_t& info, CefRefPtr<CefClient> client,
                                         const std::wstring& url, bool popup) {
  Runtime& r = R();
  int id;
  {
    std::lock_guard<std::mutex> lock(r.mu);
    id = r.nextBrowserId++;
  }
  CefRefPtr<BrowserImpl> b = new BrowserImpl(id, client, popup);
  // Listed before its window exists: a command that reaches the window as
  // soon as it is there finds its browser.
  {
    std::lock_guard<std::mutex> lock(r.mu);
    r.browsers.push_back(b);
  }
  if (!b->CreateWindowOnUi(info)) {
    std::lock_guard<std::mutex> lock(r.mu);
    r.browsers.erase(std::find(r.browsers.begin(), r.browsers.end(), b));
    return nullptr;
  }
  CefRefPtr<CefLifeSpanHandler> lh = client ? client->GetLifeSpanHandler() : nullptr;
  if (lh) lh->OnAfterCreated(b.get());
  if (!url.empty() && b->GetWindowHandle()) Navigate(b, b->FrameNamed(L"", false), url, false);
  return b;
}

void RequestPopupOnUi(CefRefPtr<BrowserImpl> b, const std::wstring& url) {
  if (!b->GetWindowHandle()) return;
  CefRefPtr<CefClient> client = b->GetClient();
  CefRefPtr<CefLifeSpanHandler> lh = client ? client->GetLifeSpanHandler() : nullptr;
  CefWindowInfo info;
  info.SetAsPopup(nullptr, CefString());
  CefRefPtr<CefClient> popupClient = client;
  CefBrowserSettings settings;
  CefPopupFeatures features;
  bool noJavascriptAccess = false;
  if (lh && lh->OnBeforePopup(b.get(), b->GetMainFrame(), url, CefString(), WOD_NEW_FOREGROUND_TAB, true, features,
                              info, popupClient, settings, &noJavascriptAccess))
    return;
  CreateBrowserOnUi(info, popupClient, url, true);
}

std::vector<std::wstring> Split(const std::wstring& s, size_t parts) {
  std::vector<std::wstring> out;
  size_t start = 0;
  while (out.size() + 1 < parts) {
    size_t tab = s.find(L'\t', start);
    if (tab == std::wstring::npos) break;
    out.push_back(s.substr(start, tab - start));
    start = tab + 1;
  }
  out.push_back(s.substr(start));
  return out;
}

bool IsIdle() {
  Runtime& r = R();
  std::lock_guard<std::mutex> lock(r.mu);
  if (!r.tasks.empty() || r.runningTasks > 0 || !r.jobs.empty()) return false;
  for (auto& b : r.browsers)
    if (b->IsLoading()) return false;
  return true;
}

std::wstring Listing() {
  std::vector<testing::BrowserInfo> list = testing::ListBrowsers();
  std::wstring out;
  for (auto& b : list) {
    out += std::to_wstring(b.id) + L"\t" + std::to_wstring(reinterpret_cast<LONG_PTR>(b.window)) + L"\t" +
           std::to_wstring(reinterpret_cast<LONG_PTR>(b.parent)) + L"\t" + (b.popup ? L"1" : L"0") + L"\t" + b.url +
           L"\t" + b.title + L"\n";
  }
  return out;
}

std::wstring SettingsLine() {
  testing::Settings s = testing::CurrentSettings();
  return std::wstring(s.multiThreadedMessageLoop ? L"1" : L"0") + L"\t" + s.cachePath + L"\t" + s.locale + L"\t" +
         s.commandLine;
}

bool Reply(const std::wstring& replyWindow, const std::wstring& text) {
  HWND reply = reinterpret_cast<HWND>(static_cast<LONG_PTR>(_wtoi64(replyWindow.c_str())));
  COPYDATASTRUCT cds = {testing::kCopyDataMagic, static_cast<DWORD>(text.size() * sizeof(wchar_t)),
                        const_cast<wchar_t*>(text.data())};
  DWORD_PTR result = 0;
  return SendMessageTimeoutW(reply, WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&cds), SMTO_NORMAL, 5000,
                             &result) != 0;
}

// A command of the cross-process testing interface, on the UI thread.
void HandleCommand(CefRefPtr<BrowserImpl> b, const std::wstring& command, LRESULT* answer) {
  std::vector<std::wstring> w = Split(command, 2);
  const std::wstring& verb = w[0];
  const std::wstring rest = w.size() > 1 ? w[1] : std::wstring();
  const int id = b->GetIdentifier();
  if (verb == L"navigate") {
    std::vector<std::wstring> a = Split(rest, 3);
    if (a.size() < 3) return;
    *answer = testing::Navigate(id, a[2], a[0], a[1] == L"1");
  } else if (verb == L"popup") {
    *answer = testing::RequestPopup(id, rest);
  } else if (verb == L"title") {
    *answer = testing::SetTitle(id, rest);
  } else if (verb == L"fail") {
    std::vector<std::wstring> a = Split(rest, 2);
    *answer = testing::FailLoad(id, _wtoi(a[0].c_str()), a.size() > 1 ? a[1] : L"");
  } else if (verb == L"idle") {
    // This command itself runs on the UI thread; queued work still counts.
    *answer = IsIdle() ? 1 : 0;
  } else if (verb == L"list") {
    *answer = Reply(rest, Listing());
  } else if (verb == L"settings") {
    *answer = Reply(rest, SettingsLine());
  }
}

DWORD WINAPI UiThreadMain(LPVOID ready) {
  Runtime& r = R();
  HWND taskWindow = CreateWindowExW(0, kTaskWindowClass, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                    GetModuleHandleW(nullptr), nullptr);
  {
    std::lock_guard<std::mutex> lock(r.mu);
    r.taskWindow = taskWindow;
    r.uiThreadId = GetCurrentThreadId();
  }
  SetEvent(static_cast<HANDLE>(ready));
  MSG msg;
  while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
  DestroyWindow(taskWindow);
  return 0;
}

void ContextInitialized() {
  CefRefPtr<CefApp> app = R().app;
  CefRefPtr<CefBrowserProcessHandler> handler = app ? app->GetBrowserProcessHandler() : nullptr;
  if (handler) handler->OnContextInitialized();
}

}  // namespace

CefRefPtr<CefCommandLine> GlobalCommandLine() {
  Runtime& r = R();
  std::lock_guard<std::mutex> lock(r.mu);
  return r.commandLine;
}

// ---- the testing interface

namespace testing {

std::vector<BrowserInfo> ListBrowsers() {
  std::vector<CefRefPtr<BrowserImpl>> browsers;
  {
    Runtime& r = R();
    std::lock_guard<std::mutex> lock(r.mu);
    browsers = r.browsers;
  }
  std::vector<BrowserInfo> out;
  for (auto& b : browsers) out.push_back(b->Info());
  return out;
}

Settings CurrentSettings() {
  Runtime& r = R();
  Settings s;
  CefRefPtr<CefCommandLine> cmd;
  {
    std::lock_guard<std::mutex> lock(r.mu);
    if (r.state != State::kRunning) return s;
    s.multiThreadedMessageLoop = r.multiThreaded;
    s.cachePath = r.cachePath;
    s.locale = r.locale;
    cmd = r.commandLine;
  }
  if (cmd) s.commandLine = cmd->GetCommandLineString().ToWString();
  return s;
}

std::wstring FrameDocument(int browserId, const std::wstring& frame) {
  CefRefPtr<BrowserImpl> b = FindBrowser(browserId);
  if (!b) return std::wstring();
  CefRefPtr<FrameImpl> f = b->FrameNamed(frame, false);
  return f ? f->Document() : std::wstring();
}

bool Navigate(int browserId, const std::wstring& url, const std::wstring& frame, bool isRedirect) {
  CefRefPtr<BrowserImpl> b = FindBrowser(browserId);
  return b && PostToUi([=] {
           FrameImpl* f = b->FrameNamed(frame, true);
           if (f) cefsim::Navigate(b, f, url, isRedirect);
         });
}

bool RequestPopup(int browserId, const std::wstring& url) {
  CefRefPtr<BrowserImpl> b = FindBrowser(browserId);
  return b && PostToUi([=] { RequestPopupOnUi(b, url); });
}

bool SetTitle(int browserId, const std::wstring& title) {
  CefRefPtr<BrowserImpl> b = FindBrowser(browserId);
  return b && PostToUi([=] {
           if (!b->GetWindowHandle()) return;
           b->SetTitle(title);
           CefRefPtr<CefDisplayHandler> dh = b->GetClient() ? b->GetClient()->GetDisplayHandler() : nullptr;
           if (dh) dh->OnTitleChange(b.get(), title);
         });
}

bool FailLoad(int browserId, int errorCode, const std::wstring& frame) {
  CefRefPtr<BrowserImpl> b = FindBrowser(browserId);
  return b && PostToUi([=] {
           CefRefPtr<FrameImpl> f = b->FrameNamed(frame, true);
           if (!f || !b->GetWindowHandle()) return;
           std::wstring url = f->pending ? f->pendingUrl : f->GetURL().ToWString();
           Fail(b, f, errorCode, url);
         });
}

bool WaitForIdle(DWORD timeoutMs) {
  const DWORD start = GetTickCount();
  int quietRounds = 0;
  while (GetTickCount() - start < timeoutMs) {
    // A barrier: every task queued before it has run once it runs.
    HANDLE done = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    if (!PostToUi([done] { SetEvent(done); }, true)) {
      CloseHandle(done);
      return true;  // CEF does not run: nothing can be busy
    }
    while (MsgWaitForMultipleObjects(1, &done, FALSE, 50, QS_ALLINPUT) != WAIT_OBJECT_0) {
      MSG msg;
      while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (msg.message == WM_QUIT) {
          PostQuitMessage(static_cast<int>(msg.wParam));
          CloseHandle(done);
          return false;
        }
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
      }
      if (GetTickCount() - start >= timeoutMs) break;
    }
    CloseHandle(done);
    // Idle twice in a row: work that a callback posted has run too.
    quietRounds = IsIdle() ? quietRounds + 1 : 0;
    if (quietRounds >= 2) return true;
    if (quietRounds == 0) Sleep(5);
  }
  return false;
}

DWORD UiThreadId() {
  Runtime& r = R();
  std::lock_guard<std::mutex> lock(r.mu);
  return r.state == State::kRunning || r.state == State::kShuttingDown ? r.uiThreadId : 0;
}

std::wstring ErrorName(int code) {
  switch (code) {
#define CEFSIM_NAME(n) case n: return L## #n;
    CEFSIM_NAME(ERR_FAILED) CEFSIM_NAME(ERR_ABORTED) CEFSIM_NAME(ERR_INVALID_ARGUMENT)
    CEFSIM_NAME(ERR_INVALID_HANDLE) CEFSIM_NAME(ERR_FILE_NOT_FOUND) CEFSIM_NAME(ERR_TIMED_OUT)
    CEFSIM_NAME(ERR_FILE_TOO_BIG) CEFSIM_NAME(ERR_UNEXPECTED) CEFSIM_NAME(ERR_ACCESS_DENIED)
    CEFSIM_NAME(ERR_NOT_IMPLEMENTED) CEFSIM_NAME(ERR_CONNECTION_CLOSED) CEFSIM_NAME(ERR_CONNECTION_RESET)
    CEFSIM_NAME(ERR_CONNECTION_REFUSED) CEFSIM_NAME(ERR_CONNECTION_ABORTED) CEFSIM_NAME(ERR_CONNECTION_FAILED)
    CEFSIM_NAME(ERR_NAME_NOT_RESOLVED) CEFSIM_NAME(ERR_INTERNET_DISCONNECTED) CEFSIM_NAME(ERR_SSL_PROTOCOL_ERROR)
    CEFSIM_NAME(ERR_ADDRESS_INVALID) CEFSIM_NAME(ERR_ADDRESS_UNREACHABLE) CEFSIM_NAME(ERR_TUNNEL_CONNECTION_FAILED)
    CEFSIM_NAME(ERR_CERT_COMMON_NAME_INVALID) CEFSIM_NAME(ERR_CERT_DATE_INVALID)
    CEFSIM_NAME(ERR_CERT_AUTHORITY_INVALID) CEFSIM_NAME(ERR_INVALID_URL) CEFSIM_NAME(ERR_DISALLOWED_URL_SCHEME)
    CEFSIM_NAME(ERR_UNKNOWN_URL_SCHEME) CEFSIM_NAME(ERR_TOO_MANY_REDIRECTS) CEFSIM_NAME(ERR_UNSAFE_REDIRECT)
    CEFSIM_NAME(ERR_UNSAFE_PORT) CEFSIM_NAME(ERR_INVALID_RESPONSE) CEFSIM_NAME(ERR_EMPTY_RESPONSE)
    CEFSIM_NAME(ERR_CACHE_MISS) CEFSIM_NAME(ERR_INSECURE_RESPONSE)
#undef CEFSIM_NAME
    default:
      return L"ERR_FAILED";
  }
}

}  // namespace testing
}  // namespace cefsim

using cefsim::R;
using cefsim::Runtime;
using cefsim::State;

// ---- CEF's entry points

int CefExecuteProcess(const CefMainArgs& args, CefRefPtr<CefApp> application, void* windows_sandbox_info) {
  CefRefPtr<CefCommandLine> cmd = cefsim::NewCommandLineFromProcess();
  std::wstring type = cefsim::ProcessType(cmd);
  if (type.empty()) return -1;
  // A sub-process: the application sees its command line, then the process
  // has nothing more to do here.
  if (application) application->OnBeforeCommandLineProcessing(type, cmd);
  return 0;
}

bool CefInitialize(const CefMainArgs& args, const CefSettings& settings, CefRefPtr<CefApp> application,
                   void* windows_sandbox_info) {
  Runtime& r = R();
  {
    std::lock_guard<std::mutex> lock(r.mu);
    if (r.state != State::kNotStarted) return false;
  }
  // Lets tests see a start-up failure of the real library.
  wchar_t fail[8] = {};
  if (GetEnvironmentVariableW(L"CEFSIM_FAIL_INITIALIZE", fail, 8) && fail[0] == L'1') return false;

  CefRefPtr<CefCommandLine> cmd = cefsim::NewCommandLineFromProcess();
  if (application) application->OnBeforeCommandLineProcessing(CefString(), cmd);
  cefsim::RegisterClasses();
  {
    std::lock_guard<std::mutex> lock(r.mu);
    r.app = application;
    r.commandLine = cmd;
    r.multiThreaded = settings.multi_threaded_message_loop != 0;
    r.cachePath = CefString(&settings.cache_path).ToWString();
    r.locale = CefString(&settings.locale).ToWString();
    r.mainThreadId = GetCurrentThreadId();
    r.runLoopQuit = false;
  }
  if (r.multiThreaded) {
    HANDLE ready = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    HANDLE thread = CreateThread(nullptr, 0, &cefsim::UiThreadMain, ready, 0, nullptr);
    WaitForSingleObject(ready, INFINITE);
    CloseHandle(ready);
    std::lock_guard<std::mutex> lock(r.mu);
    r.uiThread = thread;
  } else {
    HWND taskWindow = CreateWindowExW(0, cefsim::kTaskWindowClass, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                      GetModuleHandleW(nullptr), nullptr);
    std::lock_guard<std::mutex> lock(r.mu);
    r.taskWindow = taskWindow;
    r.uiThreadId = GetCurrentThreadId();
  }
  {
    std::lock_guard<std::mutex> lock(r.mu);
    r.state = State::kRunning;
  }
  cefsim::PostToUi([] { cefsim::ContextInitialized(); });
  return true;
}

void CefShutdown() {
  Runtime& r = R();
  {
    std::lock_guard<std::mutex> lock(r.mu);
    if (r.state != State::kRunning) return;
    r.state = State::kShuttingDown;
  }
  // Whatever is still open closes on the UI thread, with its callbacks.
  auto closeAll = [] {
    std::vector<CefRefPtr<cefsim::BrowserImpl>> browsers;
    {
      std::lock_guard<std::mutex> lock(R().mu);
      browsers = R().browsers;
    }
    for (auto& b : browsers)
      if (HWND hwnd = b->GetWindowHandle()) DestroyWindow(hwnd);
  };
  if (r.multiThreaded) {
    cefsim::PostToUi([closeAll] {
      closeAll();
      PostQuitMessage(0);
    }, true);
    cefsim::WaitAnsweringSentMessages(r.uiThread, INFINITE);
    CloseHandle(r.uiThread);
  } else {
    cefsim::RunQueuedTasks();
    closeAll();
    DestroyWindow(r.taskWindow);
  }
  // Loads still on worker threads are cancelled; their threads end by themselves.
  std::list<std::shared_ptr<cefsim::FetchJob>> jobs;
  std::deque<CefRefPtr<CefTask>> dropped;
  CefRefPtr<CefApp> app;
  {
    std::lock_guard<std::mutex> lock(r.mu);
    jobs = r.jobs;
    dropped.swap(r.tasks);
    app = r.app;
    r.app = nullptr;
    r.browsers.clear();
    r.uiThread = nullptr;
    r.taskWindow = nullptr;
    r.uiThreadId = 0;
    r.state = State::kShutDown;
  }
  for (auto& job : jobs) job->Cancel();
}

void CefDoMessageLoopWork() {
  MSG msg;
  while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
}

void CefRunMessageLoop() {
  Runtime& r = R();
  {
    std::lock_guard<std::mutex> lock(r.mu);
    if (r.state != State::kRunning) return;
    if (r.multiThreaded)
      cefsim::FailLoudly("CefRunMessageLoop called while CEF runs its own multi-threaded message loop");
    r.runLoopQuit = false;
  }
  MSG msg;
  while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
    std::lock_guard<std::mutex> lock(r.mu);
    if (r.runLoopQuit) break;
  }
}

void CefQuitMessageLoop() {
  Runtime& r = R();
  std::lock_guard<std::mutex> lock(r.mu);
  if (r.state != State::kRunning) return;
  if (r.multiThreaded) {
    // Real CEF quits the message loop of the calling thread: on its own UI
    // thread nothing runs CefRunMessageLoop, so nothing happens; on the main
    // thread there is no CEF loop to quit and the browser process crashes.
    if (GetCurrentThreadId() == r.mainThreadId)
      cefsim::FailLoudly("CefQuitMessageLoop called on the main thread while CEF runs its multi-threaded message loop");
    return;
  }
  r.runLoopQuit = true;
  PostThreadMessageW(r.mainThreadId, WM_NULL, 0, 0);
}

void CefSetOSModalLoop(bool) {}

bool CefPostTask(CefThreadId threadId, CefRefPtr<CefTask> task) {
  if (threadId != TID_UI || !task) return false;
  return cefsim::PostToUi(task);
}

bool CefPostDelayedTask(CefThreadId threadId, CefRefPtr<CefTask> task, int64 delay_ms) {
  if (threadId != TID_UI || !task) return false;
  if (delay_ms <= 0) return cefsim::PostToUi(task);
  std::thread([task, delay_ms] {
    Sleep(static_cast<DWORD>(delay_ms));
    cefsim::PostToUi(task);
  }).detach();
  return true;
}

bool CefCurrentlyOn(CefThreadId threadId) {
  if (threadId != TID_UI) return false;
  Runtime& r = R();
  std::lock_guard<std::mutex> lock(r.mu);
  return (r.state == State::kRunning || r.state == State::kShuttingDown) && GetCurrentThreadId() == r.uiThreadId;
}

bool CefBrowserHost::CreateBrowser(const CefWindowInfo& windowInfo, CefRefPtr<CefClient> client, const CefString& url,
                                   const CefBrowserSettings& settings, CefRefPtr<CefRequestContext> request_context) {
  CefWindowInfo info = windowInfo;
  std::wstring target = url.ToWString();
  return cefsim::PostToUi([info, client, target] { cefsim::CreateBrowserOnUi(info, client, target, false); });
}

CefRefPtr<CefBrowser> CefBrowserHost::CreateBrowserSync(const CefWindowInfo& windowInfo, CefRefPtr<CefClient> client,
                                                        const CefString& url, const CefBrowserSettings& settings,
                                                        CefRefPtr<CefRequestContext> request_context) {
  if (!CefCurrentlyOn(TID_UI)) return nullptr;
  return cefsim::CreateBrowserOnUi(windowInfo, client, url.ToWString(), false).get();
}
