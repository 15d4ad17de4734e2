#ifndef CEF_INCLUDE_CEF_BROWSER_H_
#define CEF_INCLUDE_CEF_BROWSER_H_

#include <vector>

#include "include/cef_base.h"
#include "include/cef_frame.h"
#include "include/cef_request_context.h"

class CefBrowserHost;
class CefClient;

// A browser. Safe to call on any thread of the browser process.
class CefBrowser : public virtual CefBase {
 public:
  virtual CefRefPtr<CefBrowserHost> GetHost() = 0;
  virtual bool CanGoBack() = 0;
  virtual void GoBack() = 0;
  virtual bool CanGoForward() = 0;
  virtual void GoForward() = 0;
  virtual bool IsLoading() = 0;
  virtual void Reload() = 0;
  virtual void ReloadIgnoreCache() = 0;
  virtual void StopLoad() = 0;
  virtual int GetIdentifier() = 0;
  virtual bool IsSame(CefRefPtr<CefBrowser> that) = 0;
  virtual bool IsPopup() = 0;
  virtual bool HasDocument() = 0;
  virtual CefRefPtr<CefFrame> GetMainFrame() = 0;
  virtual CefRefPtr<CefFrame> GetFocusedFrame() = 0;
  virtual CefRefPtr<CefFrame> GetFrame(const CefString& name) = 0;
  virtual size_t GetFrameCount() = 0;
  virtual void GetFrameNames(std::vector<CefString>& names) = 0;
};

// The browser's host: its window and its life.
class CefBrowserHost : public virtual CefBase {
 public:
  // Requests a browser; returns at once. The browser's window is created
  // on CEF's UI thread, reported to the client's OnAfterCreated, then
  // navigated to `url`.
  static bool CreateBrowser(const CefWindowInfo& windowInfo, CefRefPtr<CefClient> client, const CefString& url,
                            const CefBrowserSettings& settings, CefRefPtr<CefRequestContext> request_context);
  // Must be called on CEF's UI thread.
  static CefRefPtr<CefBrowser> CreateBrowserSync(const CefWindowInfo& windowInfo, CefRefPtr<CefClient> client,
                                                 const CefString& url, const CefBrowserSettings& settings,
                                                 CefRefPtr<CefRequestContext> request_context);

  virtual CefRefPtr<CefBrowser> GetBrowser() = 0;
  virtual void CloseBrowser(bool force_close) = 0;
  virtual void SetFocus(bool focus) = 0;
  virtual void SetWindowVisibility(bool visible) = 0;
  virtual CefWindowHandle GetWindowHandle() = 0;
  virtual CefWindowHandle GetOpenerWindowHandle() = 0;
  virtual CefRefPtr<CefClient> GetClient() = 0;
  virtual CefRefPtr<CefRequestContext> GetRequestContext() = 0;
  virtual double GetZoomLevel() = 0;
  virtual void SetZoomLevel(double zoomLevel) = 0;
  virtual void WasResized() = 0;
  virtual void WasHidden(bool hidden) = 0;
};

#endif  // CEF_INCLUDE_CEF_BROWSER_H_
