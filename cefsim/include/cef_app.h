#ifndef CEF_INCLUDE_CEF_APP_H_
#define CEF_INCLUDE_CEF_APP_H_

#include "include/cef_base.h"
#include "include/cef_browser_process_handler.h"
#include "include/cef_command_line.h"
#include "include/cef_render_process_handler.h"
#include "include/cef_resource_bundle_handler.h"
#include "include/cef_scheme.h"

class CefApp;

// Runs a CEF sub-process when the command line names one (--type=...) and
// returns its exit code (0 or more); returns -1 in the browser process.
int CefExecuteProcess(const CefMainArgs& args, CefRefPtr<CefApp> application, void* windows_sandbox_info);
// Starts CEF in the browser process; call on the main thread.
bool CefInitialize(const CefMainArgs& args, const CefSettings& settings, CefRefPtr<CefApp> application,
                   void* windows_sandbox_info);
// Ends CEF; call on the thread that called CefInitialize.
void CefShutdown();
void CefDoMessageLoopWork();
// Runs CEF's message loop on the main thread (single-threaded loop only).
void CefRunMessageLoop();
// Ends CefRunMessageLoop.
void CefQuitMessageLoop();
void CefSetOSModalLoop(bool osModalLoop);

// The application's process-level handlers.
class CefApp : public virtual CefBase {
 public:
  virtual void OnBeforeCommandLineProcessing(const CefString& process_type,
                                             CefRefPtr<CefCommandLine> command_line) {}
  virtual void OnRegisterCustomSchemes(CefRefPtr<CefSchemeRegistrar> registrar) {}
  virtual CefRefPtr<CefResourceBundleHandler> GetResourceBundleHandler() { return nullptr; }
  virtual CefRefPtr<CefBrowserProcessHandler> GetBrowserProcessHandler() { return nullptr; }
  virtual CefRefPtr<CefRenderProcessHandler> GetRenderProcessHandler() { return nullptr; }
};

#endif  // CEF_INCLUDE_CEF_APP_H_
