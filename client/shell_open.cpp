#include "client/shell_open.h"

ShellExecuteWFn g_pfnShellExecuteW = &ShellExecuteW;
ShellNotifyIconWFn g_pfnShellNotifyIconW = &Shell_NotifyIconW;
