// The small CEF objects: command line, request, list value, request context.
#include <windows.h>
#include <shellapi.h>

#include <algorithm>
#include <cstring>
#include <mutex>
#include <string>
#include <utility>
#include <vector>

#include "include/cef_command_line.h"
#include "include/cef_request.h"
#include "include/cef_request_context.h"
#include "include/cef_values.h"
#include "src/runtime_internal.h"

namespace cefsim {

namespace {

std::wstring Lower(std::wstring s) {
  for (auto& c : s) c = static_cast<wchar_t>(towlower(c));
  return s;
}

// Switch prefixes as Chromium reads them on Windows.
size_t SwitchPrefixLength(const std::wstring& s) {
  if (s.compare(0, 2, L"--") == 0) return 2;
  if (!s.empty() && (s[0] == L'-' || s[0] == L'/')) return 1;
  return 0;
}

std::wstring Quote(const std::wstring& s) {
  if (!s.empty() && s.find_first_of(L" \t\"") == std::wstring::npos) return s;
  std::wstring out = L"\"";
  for (wchar_t c : s) {
    if (c == L'"') out += L'\\';
    out += c;
  }
  return out + L"\"";
}

class CommandLineImpl : public CefCommandLine {
 public:
  CommandLineImpl() = default;

  bool IsValid() override { return true; }
  bool IsReadOnly() override { return false; }
  CefRefPtr<CefCommandLine> Copy() override {
    std::lock_guard<std::mutex> lock(mu_);
    CommandLineImpl* copy = new CommandLineImpl;
    copy->program_ = program_;
    copy->switches_ = switches_;
    copy->args_ = args_;
    return copy;
  }
  void InitFromArgv(int argc, const char* const* argv) override {
    std::vector<std::wstring> words;
    for (int i = 0; i < argc; ++i) words.push_back(cefsim_utf8_to_wide(argv[i], strlen(argv[i])));
    InitFromWords(words);
  }
  void InitFromString(const CefString& command_line) override {
    int argc = 0;
    LPWSTR* argv = CommandLineToArgvW(command_line.c_str(), &argc);
    std::vector<std::wstring> words;
    for (int i = 0; argv && i < argc; ++i) words.push_back(argv[i]);
    if (argv) LocalFree(argv);
    InitFromWords(words);
  }
  void Reset() override {
    std::lock_guard<std::mutex> lock(mu_);
    program_.clear();
    switches_.clear();
    args_.clear();
  }
  void GetArgv(std::vector<CefString>& argv) override {
    std::lock_guard<std::mutex> lock(mu_);
    argv.clear();
    argv.push_back(program_);
    for (const auto& s : switches_) argv.push_back(s.text);
    for (const auto& a : args_) argv.push_back(a);
  }
  CefString GetCommandLineString() override {
    std::lock_guard<std::mutex> lock(mu_);
    std::wstring out = Quote(program_);
    for (const auto& s : switches_) out += L" " + s.text;
    for (const auto& a : args_) out += L" " + Quote(a);
    return out;
  }
  CefString GetProgram() override {
    std::lock_guard<std::mutex> lock(mu_);
    return program_;
  }
  void SetProgram(const CefString& program) override {
    std::lock_guard<std::mutex> lock(mu_);
    program_ = program.ToWString();
  }
  bool HasSwitches() override {
    std::lock_guard<std::mutex> lock(mu_);
    return !switches_.empty();
  }
  bool HasSwitch(const CefString& name) override {
    std::lock_guard<std::mutex> lock(mu_);
    return Find(name.ToWString()) != nullptr;
  }
  CefString GetSwitchValue(const CefString& name) override {
    std::lock_guard<std::mutex> lock(mu_);
    const Switch* s = Find(name.ToWString());
    return s ? s->value : std::wstring();
  }
  void GetSwitches(SwitchMap& switches) override {
    std::lock_guard<std::mutex> lock(mu_);
    switches.clear();
    for (const auto& s : switches_) switches[s.key] = s.value;
  }
  void AppendSwitch(const CefString& name) override { Append(name.ToWString(), std::wstring(), false); }
  void AppendSwitchWithValue(const CefString& name, const CefString& value) override {
    Append(name.ToWString(), value.ToWString(), true);
  }
  bool HasArguments() override {
    std::lock_guard<std::mutex> lock(mu_);
    return !args_.empty();
  }
  void GetArguments(ArgumentList& arguments) override {
    std::lock_guard<std::mutex> lock(mu_);
    arguments.assign(args_.begin(), args_.end());
  }
  void AppendArgument(const CefString& argument) override {
    std::lock_guard<std::mutex> lock(mu_);
    args_.push_back(argument.ToWString());
  }
  void PrependWrapper(const CefString& wrapper) override {
    std::lock_guard<std::mutex> lock(mu_);
    args_.insert(args_.begin(), program_);
    program_ = wrapper.ToWString();
  }

  void InitFromWords(const std::vector<std::wstring>& words) {
    Reset();
    if (words.empty()) return;
    SetProgram(words[0]);
    bool onlyArgs = false;
    for (size_t i = 1; i < words.size(); ++i) {
      const std::wstring& w = words[i];
      if (!onlyArgs && w == L"--") { onlyArgs = true; continue; }
      size_t prefix = onlyArgs ? 0 : SwitchPrefixLength(w);
      if (prefix == 0) { AppendArgument(w); continue; }
      size_t eq = w.find(L'=');
      if (eq == std::wstring::npos) Append(w, std::wstring(), false);
      else Append(w.substr(0, eq), w.substr(eq + 1), true);
    }
  }

 private:
  struct Switch {
    std::wstring key;    // lower case, without prefix
    std::wstring value;
    std::wstring text;   // as it stands on the command line
  };
  const Switch* Find(const std::wstring& name) const {
    std::wstring key = Lower(name.substr(SwitchPrefixLength(name)));
    for (const auto& s : switches_)
      if (s.key == key) return &s;
    return nullptr;
  }
  void Append(const std::wstring& name, const std::wstring& value, bool hasValue) {
    std::lock_guard<std::mutex> lock(mu_);
    size_t prefix = SwitchPrefixLength(name);
    Switch s;
    s.key = Lower(name.substr(prefix));
    s.value = value;
    s.text = (prefix == 0 ? L"--" : L"") + name + (hasValue ? L"=" + Quote(value) : L"");
    switches_.push_back(s);
  }

  std::mutex mu_;
  std::wstring program_;
  std::vector<Switch> switches_;
  std::vector<std::wstring> args_;
  IMPLEMENT_REFCOUNTING(CommandLineImpl);
};

class RequestImpl : public CefRequest {
 public:
  bool IsReadOnly() override { return false; }
  CefString GetURL() override { return url_; }
  void SetURL(const CefString& url) override { url_ = url.ToWString(); }
  CefString GetMethod() override { return method_; }
  void SetMethod(const CefString& method) override { method_ = method.ToWString(); }

 private:
  std::wstring url_;
  std::wstring method_ = L"GET";
  IMPLEMENT_REFCOUNTING(RequestImpl);
};

class ListValueImpl : public CefListValue {
 public:
  bool IsValid() override { return true; }
  size_t GetSize() override { return 0; }

 private:
  IMPLEMENT_REFCOUNTING(ListValueImpl);
};

class RequestContextImpl : public CefRequestContext {
 public:
  bool IsGlobal() override { return true; }

 private:
  IMPLEMENT_REFCOUNTING(RequestContextImpl);
};

}  // namespace

CefRefPtr<CefCommandLine> NewCommandLineFromProcess() {
  CommandLineImpl* cmd = new CommandLineImpl;
  cmd->InitFromString(GetCommandLineW());
  return cmd;
}

CefRefPtr<CefRequest> NewRequest(const std::wstring& url) {
  CefRefPtr<CefRequest> r = new RequestImpl;
  r->SetURL(url);
  return r;
}

}  // namespace cefsim

CefRefPtr<CefCommandLine> CefCommandLine::CreateCommandLine() { return new cefsim::CommandLineImpl; }

CefRefPtr<CefCommandLine> CefCommandLine::GetGlobalCommandLine() {
  CefRefPtr<CefCommandLine> global = cefsim::GlobalCommandLine();
  return global ? global : cefsim::NewCommandLineFromProcess();
}

CefRefPtr<CefRequest> CefRequest::Create() { return new cefsim::RequestImpl; }
CefRefPtr<CefListValue> CefListValue::Create() { return new cefsim::ListValueImpl; }
CefRefPtr<CefRequestContext> CefRequestContext::GetGlobalContext() {
  static CefRefPtr<CefRequestContext> global = new cefsim::RequestContextImpl;
  return global;
}
