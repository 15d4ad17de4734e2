# Building against a real CEF 3.2357 Windows 32-bit binary distribution
# given as CEF_ROOT. The distribution's own CMake files assume MSVC, so the
# wrapper library is compiled here from its libcef_dll sources.
if(NOT EXISTS "${CEF_ROOT}/include/cef_app.h")
  message(FATAL_ERROR "CEF_ROOT=${CEF_ROOT} holds no include/cef_app.h")
endif()

file(GLOB_RECURSE CEF_WRAPPER_SOURCES
  "${CEF_ROOT}/libcef_dll/*.cc"
)
add_library(libcef_dll_wrapper STATIC ${CEF_WRAPPER_SOURCES})
target_include_directories(libcef_dll_wrapper PUBLIC "${CEF_ROOT}")
target_compile_definitions(libcef_dll_wrapper PUBLIC USING_CEF_SHARED NOMINMAX WIN32 _WIN32 UNICODE _UNICODE)

find_library(CEF_LIBRARY NAMES libcef libcef.lib PATHS "${CEF_ROOT}/Release" NO_DEFAULT_PATH REQUIRED)
add_library(cef INTERFACE)
target_link_libraries(cef INTERFACE libcef_dll_wrapper ${CEF_LIBRARY})

# The runtime files go next to the executable.
set(QM_CEF_RUNTIME_DIRS "${CEF_ROOT}/Release" "${CEF_ROOT}/Resources")
