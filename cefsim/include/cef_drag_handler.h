#ifndef CEF_INCLUDE_CEF_DRAG_HANDLER_H_
#define CEF_INCLUDE_CEF_DRAG_HANDLER_H_

#include "include/cef_base.h"

// Not used by the launcher; present so that the client's getters compile.
class CefDragHandler : public virtual CefBase {};

#endif  // CEF_INCLUDE_CEF_DRAG_HANDLER_H_
