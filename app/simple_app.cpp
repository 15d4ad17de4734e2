#include "app/simple_app.h"

SimpleApp::SimpleApp() {}

void SimpleApp::OnBeforeCommandLineProcessing(const CefString&, CefRefPtr<CefCommandLine> command_line) {
  // The same in the browser process and in every sub-process.
  command_line->AppendSwitch("--disable-web-security");
  command_line->AppendSwitch("--enable-system-flash");
  command_line->AppendSwitch("--enable-npapi");
}
