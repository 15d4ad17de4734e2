#pragma once

// The application icon: the login window's big icon and the tray icon.
#define IDI_QUELMARCH 107
