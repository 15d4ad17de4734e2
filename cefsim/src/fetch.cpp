// Loading documents: local schemes directly, http and https through WinHTTP.
#include <windows.h>
#include <shlwapi.h>
#include <winhttp.h>

#include <cwctype>
#include <mutex>
#include <string>

#include "include/internal/cef_types.h"
#include "src/runtime_internal.h"

namespace cefsim {

namespace {

bool StartsWithNoCase(const std::wstring& s, const wchar_t* prefix) {
  size_t n = wcslen(prefix);
  return s.size() >= n && _wcsnicmp(s.c_str(), prefix, n) == 0;
}

int HexValue(wchar_t c) {
  if (c >= L'0' && c <= L'9') return c - L'0';
  if (c >= L'a' && c <= L'f') return c - L'a' + 10;
  if (c >= L'A' && c <= L'F') return c - L'A' + 10;
  return -1;
}

// Percent-decodes to bytes; other characters go in as UTF-8.
std::string PercentDecode(const std::wstring& s) {
  std::string out;
  for (size_t i = 0; i < s.size(); ++i) {
    if (s[i] == L'%' && i + 2 < s.size() + 0 && HexValue(s[i + 1]) >= 0 && HexValue(s[i + 2]) >= 0) {
      out += static_cast<char>(HexValue(s[i + 1]) * 16 + HexValue(s[i + 2]));
      i += 2;
    } else {
      out += cefsim_wide_to_utf8(&s[i], 1);
    }
  }
  return out;
}

std::string Base64Decode(const std::string& in) {
  static const std::string chars = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
  std::string out;
  int value = 0, bits = -8;
  for (char c : in) {
    size_t p = chars.find(c);
    if (p == std::string::npos) continue;
    value = (value << 6) + static_cast<int>(p);
    bits += 6;
    if (bits >= 0) {
      out += static_cast<char>((value >> bits) & 0xFF);
      bits -= 8;
    }
  }
  return out;
}

int NetErrorFromWinHttp(DWORD e) {
  switch (e) {
    case ERROR_WINHTTP_NAME_NOT_RESOLVED: return ERR_NAME_NOT_RESOLVED;
    case ERROR_WINHTTP_CANNOT_CONNECT: return ERR_CONNECTION_REFUSED;
    case ERROR_WINHTTP_TIMEOUT: return ERR_TIMED_OUT;
    case ERROR_WINHTTP_CONNECTION_ERROR: return ERR_CONNECTION_RESET;
    case ERROR_WINHTTP_INVALID_URL: return ERR_INVALID_URL;
    case ERROR_WINHTTP_UNRECOGNIZED_SCHEME: return ERR_UNKNOWN_URL_SCHEME;
    case ERROR_WINHTTP_SECURE_FAILURE: return ERR_SSL_PROTOCOL_ERROR;
    case ERROR_WINHTTP_INVALID_SERVER_RESPONSE: return ERR_INVALID_RESPONSE;
    case ERROR_WINHTTP_OPERATION_CANCELLED: return ERR_ABORTED;
    case ERROR_WINHTTP_HEADER_NOT_FOUND: return ERR_INVALID_RESPONSE;
    default: return ERR_FAILED;
  }
}

// Owns a WinHTTP handle.
struct Handle {
  HINTERNET h = nullptr;
  ~Handle() { if (h) WinHttpCloseHandle(h); }
};

std::wstring Header(HINTERNET request, DWORD which) {
  DWORD size = 0;
  WinHttpQueryHeaders(request, which, WINHTTP_HEADER_NAME_BY_INDEX, nullptr, &size, WINHTTP_NO_HEADER_INDEX);
  if (size == 0) return std::wstring();
  std::wstring value(size / sizeof(wchar_t) + 1, L'\0');
  if (!WinHttpQueryHeaders(request, which, WINHTTP_HEADER_NAME_BY_INDEX, &value[0], &size, WINHTTP_NO_HEADER_INDEX))
    return std::wstring();
  value.resize(size / sizeof(wchar_t));
  return value;
}

std::wstring ResolveLocation(const std::wstring& base, const std::wstring& location) {
  if (location.find(L"://") != std::wstring::npos) return location;
  DWORD size = static_cast<DWORD>(base.size() + location.size() + 16);
  std::wstring out(size, L'\0');
  if (UrlCombineW(base.c_str(), location.c_str(), &out[0], &size, 0) == S_OK) return out.substr(0, size);
  return location;
}

const size_t kMaxBody = 8 * 1024 * 1024;

}  // namespace

void FetchJob::Cancel() {
  cancelled_ = true;
  std::lock_guard<std::mutex> lock(mu_);
  // Closing the request handle ends a blocking call on the worker.
  if (request_) {
    WinHttpCloseHandle(static_cast<HINTERNET>(request_));
    request_ = nullptr;
  }
}

FetchResult FetchJob::Run(const std::wstring& url) {
  FetchResult r;
  r.kind = FetchResult::kError;
  URL_COMPONENTS uc = {sizeof(uc)};
  wchar_t host[256] = {};
  uc.lpszHostName = host;
  uc.dwHostNameLength = 255;
  uc.dwUrlPathLength = static_cast<DWORD>(-1);
  uc.dwExtraInfoLength = static_cast<DWORD>(-1);
  if (!WinHttpCrackUrl(url.c_str(), 0, 0, &uc)) {
    r.error = ERR_INVALID_URL;
    return r;
  }
  std::wstring path(uc.lpszUrlPath ? std::wstring(uc.lpszUrlPath, uc.dwUrlPathLength) : L"/");
  if (uc.lpszExtraInfo) path += std::wstring(uc.lpszExtraInfo, uc.dwExtraInfoLength);
  if (path.empty()) path = L"/";

  Handle session, connect;
  session.h = WinHttpOpen(L"Mozilla/5.0 (cefsim)", WINHTTP_ACCESS_TYPE_NO_PROXY, WINHTTP_NO_PROXY_NAME,
                          WINHTTP_NO_PROXY_BYPASS, 0);
  if (!session.h) { r.error = ERR_FAILED; return r; }
  WinHttpSetTimeouts(session.h, 10000, 10000, 30000, 30000);
  connect.h = WinHttpConnect(session.h, host, uc.nPort, 0);
  if (!connect.h) { r.error = NetErrorFromWinHttp(GetLastError()); return r; }
  HINTERNET request = WinHttpOpenRequest(connect.h, L"GET", path.c_str(), nullptr, WINHTTP_NO_REFERER,
                                         WINHTTP_DEFAULT_ACCEPT_TYPES,
                                         uc.nScheme == INTERNET_SCHEME_HTTPS ? WINHTTP_FLAG_SECURE : 0);
  if (!request) { r.error = NetErrorFromWinHttp(GetLastError()); return r; }
  {
    std::lock_guard<std::mutex> lock(mu_);
    if (cancelled_) {
      WinHttpCloseHandle(request);
      r.error = ERR_ABORTED;
      return r;
    }
    request_ = request;
  }
  // Redirects are the browser's own business: each target is offered to the
  // request handler first.
  DWORD policy = WINHTTP_OPTION_REDIRECT_POLICY_NEVER;
  WinHttpSetOption(request, WINHTTP_OPTION_REDIRECT_POLICY, &policy, sizeof(policy));

  bool ok = WinHttpSendRequest(request, WINHTTP_NO_ADDITIONAL_HEADERS, 0, WINHTTP_NO_REQUEST_DATA, 0, 0, 0) &&
            WinHttpReceiveResponse(request, nullptr);
  if (!ok) {
    r.error = cancelled_ ? ERR_ABORTED : NetErrorFromWinHttp(GetLastError());
  } else {
    DWORD status = 0, size = sizeof(status);
    WinHttpQueryHeaders(request, WINHTTP_QUERY_STATUS_CODE | WINHTTP_QUERY_FLAG_NUMBER, WINHTTP_HEADER_NAME_BY_INDEX,
                        &status, &size, WINHTTP_NO_HEADER_INDEX);
    std::wstring location = Header(request, WINHTTP_QUERY_LOCATION);
    if ((status == 301 || status == 302 || status == 303 || status == 307 || status == 308) && !location.empty()) {
      r.kind = FetchResult::kRedirect;
      r.location = ResolveLocation(url, location);
    } else {
      r.kind = FetchResult::kDone;
      r.status = static_cast<int>(status);
      for (;;) {
        DWORD avail = 0;
        if (!WinHttpQueryDataAvailable(request, &avail)) {
          r.kind = FetchResult::kError;
          r.error = cancelled_ ? ERR_ABORTED : NetErrorFromWinHttp(GetLastError());
          break;
        }
        if (avail == 0 || r.body.size() >= kMaxBody) break;
        std::string chunk(avail, '\0');
        DWORD read = 0;
        if (!WinHttpReadData(request, &chunk[0], avail, &read)) {
          r.kind = FetchResult::kError;
          r.error = cancelled_ ? ERR_ABORTED : NetErrorFromWinHttp(GetLastError());
          break;
        }
        r.body.append(chunk, 0, read);
      }
    }
  }
  std::lock_guard<std::mutex> lock(mu_);
  if (request_) {
    WinHttpCloseHandle(static_cast<HINTERNET>(request_));
    request_ = nullptr;
  }
  return r;
}

bool FetchLocal(const std::wstring& url, FetchResult* out) {
  out->kind = FetchResult::kDone;
  out->status = 200;
  out->body.clear();
  if (StartsWithNoCase(url, L"about:")) return true;
  if (StartsWithNoCase(url, L"data:")) {
    size_t comma = url.find(L',');
    if (comma == std::wstring::npos) {
      out->kind = FetchResult::kError;
      out->error = ERR_INVALID_URL;
      return true;
    }
    std::wstring meta = url.substr(5, comma - 5);
    std::string data = PercentDecode(url.substr(comma + 1));
    bool base64 = meta.size() >= 7 && _wcsicmp(meta.c_str() + meta.size() - 7, L";base64") == 0;
    out->body = base64 ? Base64Decode(data) : data;
    return true;
  }
  if (StartsWithNoCase(url, L"file:")) {
    wchar_t path[MAX_PATH * 4];
    DWORD size = MAX_PATH * 4;
    if (PathCreateFromUrlW(url.c_str(), path, &size, 0) != S_OK) {
      out->kind = FetchResult::kError;
      out->error = ERR_INVALID_URL;
      return true;
    }
    HANDLE f = CreateFileW(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (f == INVALID_HANDLE_VALUE) {
      out->kind = FetchResult::kError;
      out->error = GetLastError() == ERROR_ACCESS_DENIED ? ERR_ACCESS_DENIED : ERR_FILE_NOT_FOUND;
      return true;
    }
    char buffer[65536];
    DWORD read = 0;
    while (ReadFile(f, buffer, sizeof(buffer), &read, nullptr) && read > 0 && out->body.size() < kMaxBody)
      out->body.append(buffer, read);
    CloseHandle(f);
    return true;
  }
  if (StartsWithNoCase(url, L"http:") || StartsWithNoCase(url, L"https:")) return false;
  out->kind = FetchResult::kError;
  out->error = url.find(L':') == std::wstring::npos ? ERR_INVALID_URL : ERR_UNKNOWN_URL_SCHEME;
  return true;
}

std::wstring DecodeBody(const std::string& bytes) {
  if (bytes.empty()) return std::wstring();
  int n = MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, bytes.data(), static_cast<int>(bytes.size()), nullptr, 0);
  if (n > 0) return cefsim_utf8_to_wide(bytes.data(), bytes.size());
  n = MultiByteToWideChar(CP_ACP, 0, bytes.data(), static_cast<int>(bytes.size()), nullptr, 0);
  std::wstring out(n, L'\0');
  MultiByteToWideChar(CP_ACP, 0, bytes.data(), static_cast<int>(bytes.size()), &out[0], n);
  return out;
}

namespace {

std::wstring DecodeEntities(const std::wstring& s) {
  static const struct { const wchar_t* name; wchar_t ch; } kEntities[] = {
      {L"&amp;", L'&'}, {L"&lt;", L'<'}, {L"&gt;", L'>'}, {L"&quot;", L'"'}, {L"&#39;", L'\''}, {L"&nbsp;", L' '}};
  std::wstring out;
  for (size_t i = 0; i < s.size();) {
    bool matched = false;
    if (s[i] == L'&') {
      for (const auto& e : kEntities) {
        size_t n = wcslen(e.name);
        if (s.compare(i, n, e.name) == 0) {
          out += e.ch;
          i += n;
          matched = true;
          break;
        }
      }
    }
    if (!matched) out += s[i++];
  }
  return out;
}

size_t FindNoCase(const std::wstring& s, const wchar_t* what, size_t from = 0) {
  size_t n = wcslen(what);
  for (size_t i = from; i + n <= s.size(); ++i)
    if (_wcsnicmp(s.c_str() + i, what, n) == 0) return i;
  return std::wstring::npos;
}

}  // namespace

std::wstring PageTitle(const std::wstring& html) {
  size_t open = FindNoCase(html, L"<title");
  if (open == std::wstring::npos) return std::wstring();
  size_t start = html.find(L'>', open);
  if (start == std::wstring::npos) return std::wstring();
  size_t end = FindNoCase(html, L"</title", start);
  if (end == std::wstring::npos) return std::wstring();
  return DecodeEntities(html.substr(start + 1, end - start - 1));
}

std::wstring PageText(const std::wstring& html) {
  std::wstring out;
  for (size_t i = 0; i < html.size();) {
    if (html[i] != L'<') {
      out += html[i++];
      continue;
    }
    // The content of these elements is not text of the page.
    for (const wchar_t* hidden : {L"<script", L"<style", L"<title"}) {
      if (_wcsnicmp(html.c_str() + i, hidden, wcslen(hidden)) == 0) {
        std::wstring close = std::wstring(L"</") + (hidden + 1);
        size_t end = FindNoCase(html, close.c_str(), i);
        i = end == std::wstring::npos ? html.size() : end;
        break;
      }
    }
    size_t end = html.find(L'>', i);
    if (end == std::wstring::npos) break;
    out += L' ';
    i = end + 1;
  }
  // Runs of white space become one space.
  std::wstring text;
  bool space = false;
  for (wchar_t c : DecodeEntities(out)) {
    if (iswspace(c)) {
      space = !text.empty();
    } else {
      if (space) text += L' ';
      text += c;
      space = false;
    }
  }
  return text;
}

}  // namespace cefsim
