#include "uilib/UIBuilder.h"

#include "uilib/UIManager.h"

#include <objbase.h>
#include <shlwapi.h>
#include <xmllite.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

namespace DuiLib {

namespace {

typedef HRESULT(WINAPI* CreateXmlReaderFn)(REFIID, void**, IMalloc*);

// XmlLite ships with Windows (and Wine) but mingw has no import library for
// it, so it is bound at run time, once.
CreateXmlReaderFn XmlReaderFactory() {
  static CreateXmlReaderFn fn = [] {
    HMODULE dll = LoadLibraryW(L"xmllite.dll");
    return dll ? reinterpret_cast<CreateXmlReaderFn>(reinterpret_cast<void*>(GetProcAddress(dll, "CreateXmlReader")))
               : nullptr;
  }();
  return fn;
}

template <typename T>
struct ComPtr {
  T* p = nullptr;
  ~ComPtr() { if (p) p->Release(); }
  T** operator&() { return &p; }
  T* operator->() const { return p; }
};

CControlUI* NewControl(const wchar_t* element, IDialogBuilderCallback* callback) {
  if (wcscmp(element, L"Control") == 0) return new CControlUI;
  if (wcscmp(element, L"Container") == 0) return new CContainerUI;
  if (wcscmp(element, L"VerticalLayout") == 0) return new CVerticalLayoutUI;
  if (wcscmp(element, L"HorizontalLayout") == 0) return new CHorizontalLayoutUI;
  if (wcscmp(element, L"Label") == 0) return new CLabelUI;
  if (wcscmp(element, L"Text") == 0) return new CTextUI;
  if (wcscmp(element, L"Button") == 0) return new CButtonUI;
  return callback ? callback->CreateControl(element) : nullptr;
}

struct Attribute {
  std::wstring name, value;
};

bool ReadAttributes(IXmlReader* reader, std::vector<Attribute>* out) {
  HRESULT hr = reader->MoveToFirstAttribute();
  while (hr == S_OK) {
    const wchar_t* name = nullptr;
    const wchar_t* value = nullptr;
    if (FAILED(reader->GetLocalName(&name, nullptr)) || FAILED(reader->GetValue(&value, nullptr))) return false;
    out->push_back({name, value});
    hr = reader->MoveToNextAttribute();
  }
  reader->MoveToElement();
  return SUCCEEDED(hr);
}

void ApplyWindowAttributes(CPaintManagerUI* manager, const std::vector<Attribute>& attrs) {
  if (!manager) return;
  for (const Attribute& a : attrs) {
    if (a.name == L"size") {
      SIZE s = ParseSize(a.value.c_str());
      manager->SetInitSize(s.cx, s.cy);
    } else if (a.name == L"caption") {
      manager->SetCaptionRect(ParseRect(a.value.c_str()));
    } else if (a.name == L"sizebox") {
      manager->SetSizeBox(ParseRect(a.value.c_str()));
    } else if (a.name == L"mininfo") {
      SIZE s = ParseSize(a.value.c_str());
      manager->SetMinInfo(s.cx, s.cy);
    } else if (a.name == L"bkcolor") {
      manager->SetDefaultBkColor(ParseColor(a.value.c_str()));
    }
  }
}

void ApplyFont(CPaintManagerUI* manager, const std::vector<Attribute>& attrs) {
  int id = -1, size = 12;
  bool bold = false;
  std::wstring face = L"Tahoma";
  for (const Attribute& a : attrs) {
    if (a.name == L"id") ParseInt(a.value.c_str(), &id);
    else if (a.name == L"size") ParseInt(a.value.c_str(), &size);
    else if (a.name == L"bold") bold = ParseBool(a.value.c_str());
    else if (a.name == L"name") face = a.value;
  }
  if (manager && id >= 0 && size > 0) manager->AddFont(id, face.c_str(), size, bold);
}

}  // namespace

CControlUI* CDialogBuilder::Create(LPCTSTR xmlFile, LPCTSTR type, IDialogBuilderCallback* callback,
                                   CPaintManagerUI* manager, CControlUI* parent) {
  CreateXmlReaderFn factory = XmlReaderFactory();
  if (!factory || !xmlFile) return nullptr;
  std::wstring path = CPaintManagerUI::GetResourcePath().str();
  if (!path.empty() && path.back() != L'\\') path += L'\\';
  path += xmlFile;

  ComPtr<IStream> stream;
  if (FAILED(SHCreateStreamOnFileW(path.c_str(), STGM_READ | STGM_SHARE_DENY_WRITE, &stream))) return nullptr;
  ComPtr<IXmlReader> reader;
  if (FAILED(factory(__uuidof(IXmlReader), reinterpret_cast<void**>(&reader), nullptr))) return nullptr;
  reader->SetProperty(XmlReaderProperty_DtdProcessing, DtdProcessing_Prohibit);
  if (FAILED(reader->SetInput(stream.p))) return nullptr;

  // Controls under construction, innermost last. An element that builds no
  // control is pushed as null, and everything inside it is skipped.
  std::vector<CControlUI*> stack;
  std::unique_ptr<CControlUI> root;
  bool sawWindow = false;
  std::vector<Attribute> windowAttrs;
  XmlNodeType node;
  HRESULT hr;
  while ((hr = reader->Read(&node)) == S_OK) {
    if (node == XmlNodeType_EndElement) {
      if (!stack.empty()) stack.pop_back();
      continue;
    }
    if (node != XmlNodeType_Element) continue;
    const wchar_t* name = nullptr;
    if (FAILED(reader->GetLocalName(&name, nullptr))) { hr = E_FAIL; break; }
    const bool empty = reader->IsEmptyElement() != FALSE;
    std::vector<Attribute> attrs;
    if (!ReadAttributes(reader.p, &attrs)) { hr = E_FAIL; break; }

    const bool skipping = std::find(stack.begin(), stack.end(), nullptr) != stack.end();
    CControlUI* control = nullptr;
    if (skipping) {
      // inside a skipped element
    } else if (wcscmp(name, L"Window") == 0 && stack.empty() && !sawWindow) {
      sawWindow = true;
      windowAttrs = attrs;
      if (!empty) {
        // The Window element itself is no control; its content is.
        stack.push_back(reinterpret_cast<CControlUI*>(-1));
      }
      continue;
    } else if (wcscmp(name, L"Font") == 0) {
      ApplyFont(manager, attrs);
    } else if ((control = NewControl(name, callback)) != nullptr) {
      for (const Attribute& a : attrs) control->SetAttribute(a.name.c_str(), a.value.c_str());
      CControlUI* owner = nullptr;
      for (auto it = stack.rbegin(); it != stack.rend(); ++it) {
        if (*it != reinterpret_cast<CControlUI*>(-1)) { owner = *it; break; }
      }
      CContainerUI* container = owner ? dynamic_cast<CContainerUI*>(owner) : nullptr;
      if (container) {
        container->Add(control);
      } else if (!owner && !root) {
        root.reset(control);
        if (manager) control->SetManager(manager, nullptr);
      } else {
        // Only containers hold children, and a layout has one root.
        delete control;
        control = nullptr;
      }
    }
    if (!empty) stack.push_back(control);
  }
  // Malformed XML stops the reader with an error: the whole layout is refused,
  // so a window is never half built.
  if (hr != S_FALSE) return nullptr;
  ApplyWindowAttributes(manager, windowAttrs);
  if (parent) {
    if (auto* container = dynamic_cast<CContainerUI*>(parent)) {
      if (root) container->Add(root.get());
      return root.release();
    }
  }
  return root.release();
}

}  // namespace DuiLib
