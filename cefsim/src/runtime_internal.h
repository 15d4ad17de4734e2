#pragma once

#include <windows.h>

#include <atomic>
#include <functional>
#include <memory>
#include <mutex>
#include <string>

#include "include/cef_command_line.h"
#include "include/cef_request.h"

namespace cefsim {

CefRefPtr<CefCommandLine> NewCommandLineFromProcess();
// The browser process's command line once CEF was initialised, else null.
CefRefPtr<CefCommandLine> GlobalCommandLine();
CefRefPtr<CefRequest> NewRequest(const std::wstring& url);

// What a load produced.
struct FetchResult {
  enum Kind { kDone, kRedirect, kError } kind = kError;
  int status = 0;          // kDone: the HTTP status (200 for other schemes)
  std::string body;        // kDone: the document's bytes
  std::wstring location;   // kRedirect: the absolute target
  int error = 0;           // kError: a Chromium net error code
};

// A load under way on a worker thread. Cancel() ends a blocking network
// call from another thread.
class FetchJob {
 public:
  void Cancel();
  bool cancelled() const { return cancelled_.load(); }
  // Runs on the worker: fetches `url` without following redirects.
  FetchResult Run(const std::wstring& url);

 private:
  std::atomic<bool> cancelled_{false};
  std::mutex mu_;
  void* request_ = nullptr;  // HINTERNET of the request under way
};

// Loads that need no network, done at once: about:, data:, file:.
// False when `url` needs a FetchJob.
bool FetchLocal(const std::wstring& url, FetchResult* out);

// The document's title (<title>, entities decoded), or empty.
std::wstring PageTitle(const std::wstring& html);
// The document's text with tags stripped, for display.
std::wstring PageText(const std::wstring& html);
std::wstring DecodeBody(const std::string& bytes);

}  // namespace cefsim
