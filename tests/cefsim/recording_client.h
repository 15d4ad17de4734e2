#pragma once

#include <windows.h>

#include <functional>
#include <mutex>
#include <string>
#include <vector>

#include "include/cef_client.h"

namespace qmtest {

// A client that records every callback it gets, with the calling thread,
// and counts its own instances so that tests see when it is destroyed.
class RecordingClient : public CefClient,
                        public CefDisplayHandler,
                        public CefLifeSpanHandler,
                        public CefLoadHandler,
                        public CefRequestHandler {
 public:
  struct Event {
    std::wstring what;  // "before_browse", "load_start", ...
    std::wstring detail;
    DWORD thread;
  };
  static LONG s_live;

  RecordingClient() { InterlockedIncrement(&s_live); }
  ~RecordingClient() override { InterlockedDecrement(&s_live); }

  // Called in OnBeforeBrowse; true cancels.
  std::function<bool(CefRefPtr<CefBrowser>, CefRefPtr<CefFrame>, const std::wstring&, bool)> beforeBrowse;
  bool cancelPopups = true;

  CefRefPtr<CefDisplayHandler> GetDisplayHandler() override { return this; }
  CefRefPtr<CefLifeSpanHandler> GetLifeSpanHandler() override { return this; }
  CefRefPtr<CefLoadHandler> GetLoadHandler() override { return this; }
  CefRefPtr<CefRequestHandler> GetRequestHandler() override { return this; }

  void OnAddressChange(CefRefPtr<CefBrowser>, CefRefPtr<CefFrame> frame, const CefString& url) override {
    Add(L"address", url.ToWString());
  }
  void OnTitleChange(CefRefPtr<CefBrowser>, const CefString& title) override { Add(L"title", title.ToWString()); }
  bool OnBeforePopup(CefRefPtr<CefBrowser>, CefRefPtr<CefFrame>, const CefString& target_url, const CefString&,
                     WindowOpenDisposition, bool, const CefPopupFeatures&, CefWindowInfo&, CefRefPtr<CefClient>&,
                     CefBrowserSettings&, bool*) override {
    Add(L"popup", target_url.ToWString());
    return cancelPopups;
  }
  void OnAfterCreated(CefRefPtr<CefBrowser> browser) override {
    {
      std::lock_guard<std::mutex> lock(mu_);
      browsers_.push_back(browser);
    }
    Add(L"after_created", std::to_wstring(browser->GetIdentifier()));
  }
  bool DoClose(CefRefPtr<CefBrowser> browser) override {
    Add(L"do_close", std::to_wstring(browser->GetIdentifier()));
    return false;
  }
  void OnBeforeClose(CefRefPtr<CefBrowser> browser) override {
    {
      std::lock_guard<std::mutex> lock(mu_);
      for (auto it = browsers_.begin(); it != browsers_.end(); ++it)
        if ((*it)->IsSame(browser)) {
          browsers_.erase(it);
          break;
        }
    }
    Add(L"before_close", std::to_wstring(browser->GetIdentifier()));
  }
  void OnLoadingStateChange(CefRefPtr<CefBrowser>, bool isLoading, bool, bool) override {
    Add(L"loading", isLoading ? L"1" : L"0");
  }
  void OnLoadStart(CefRefPtr<CefBrowser>, CefRefPtr<CefFrame> frame) override {
    Add(L"load_start", frame->GetName().ToWString());
  }
  void OnLoadEnd(CefRefPtr<CefBrowser>, CefRefPtr<CefFrame> frame, int status) override {
    Add(L"load_end", frame->GetName().ToWString() + L":" + std::to_wstring(status));
  }
  void OnLoadError(CefRefPtr<CefBrowser>, CefRefPtr<CefFrame> frame, ErrorCode code, const CefString& text,
                   const CefString& url) override {
    Add(L"load_error", std::to_wstring(code) + L" " + text.ToWString() + L" " + url.ToWString());
  }
  bool OnBeforeBrowse(CefRefPtr<CefBrowser> browser, CefRefPtr<CefFrame> frame, CefRefPtr<CefRequest> request,
                      bool is_redirect) override {
    std::wstring url = request->GetURL().ToWString();
    Add(L"before_browse", (is_redirect ? L"redirect " : L"") + frame->GetName().ToWString() + L"|" + url);
    return beforeBrowse ? beforeBrowse(browser, frame, url, is_redirect) : false;
  }

  std::vector<Event> events() {
    std::lock_guard<std::mutex> lock(mu_);
    return events_;
  }
  void clear() {
    std::lock_guard<std::mutex> lock(mu_);
    events_.clear();
  }
  // The events' names, in order, as one line ("a b c").
  std::wstring names(const std::wstring& skip = L"") {
    std::wstring out;
    for (auto& e : events()) {
      if (e.what == skip) continue;
      if (!out.empty()) out += L' ';
      out += e.what;
    }
    return out;
  }
  std::vector<std::wstring> details(const std::wstring& what) {
    std::vector<std::wstring> out;
    for (auto& e : events())
      if (e.what == what) out.push_back(e.detail);
    return out;
  }
  bool AllOnThread(DWORD thread) {
    for (auto& e : events())
      if (e.thread != thread) return false;
    return true;
  }
  CefRefPtr<CefBrowser> browser() {
    std::lock_guard<std::mutex> lock(mu_);
    return browsers_.empty() ? nullptr : browsers_.front();
  }

 private:
  void Add(const std::wstring& what, const std::wstring& detail) {
    std::lock_guard<std::mutex> lock(mu_);
    events_.push_back({what, detail, GetCurrentThreadId()});
  }
  std::mutex mu_;
  std::vector<Event> events_;
  std::vector<CefRefPtr<CefBrowser>> browsers_;
  IMPLEMENT_REFCOUNTING(RecordingClient);
};

}  // namespace qmtest
