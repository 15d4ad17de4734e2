#ifndef CEF_INCLUDE_WRAPPER_CEF_HELPERS_H_
#define CEF_INCLUDE_WRAPPER_CEF_HELPERS_H_

#include <stdio.h>
#include <stdlib.h>

#include "include/cef_task.h"

#define CEF_REQUIRE_UI_THREAD()                                                         \
  do {                                                                                  \
    if (!CefCurrentlyOn(TID_UI)) {                                                      \
      fprintf(stderr, "%s:%d: not on CEF's UI thread\n", __FILE__, __LINE__);           \
      abort();                                                                          \
    }                                                                                   \
  } while (0)

#endif  // CEF_INCLUDE_WRAPPER_CEF_HELPERS_H_
