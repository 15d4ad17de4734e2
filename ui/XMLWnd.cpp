#include "ui/XMLWnd.h"

CXMLWnd::CXMLWnd(const wchar_t* layoutFile) : m_strLayoutFile(layoutFile) {}

CXMLWnd::~CXMLWnd() = default;

LPCTSTR CXMLWnd::GetWindowClassName() const { return _T("XMLWnd"); }

CDuiString CXMLWnd::GetSkinFile() { return m_strLayoutFile; }

// Layout files lie directly in the resource path.
CDuiString CXMLWnd::GetSkinFolder() { return CDuiString(); }
