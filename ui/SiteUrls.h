#pragma once

// The launcher's fixed addresses. The two hosts come from the build
// (QM_OFFICIAL_HOST, QM_LOGIN_HOST); the program reads no configuration.
#ifndef QM_OFFICIAL_HOST
#define QM_OFFICIAL_HOST "www.quelmarch.example"
#endif
#ifndef QM_LOGIN_HOST
#define QM_LOGIN_HOST "login.quelmarch.example"
#endif
#define QM_WIDEN_(text) L##text
#define QM_WIDEN(text) QM_WIDEN_(text)

// The official site's root, without a trailing slash.
#define OFFICIAL_SITE_URL (L"http://" QM_WIDEN(QM_OFFICIAL_HOST))
#define RECHARGE_PAGE_URL (L"http://" QM_WIDEN(QM_OFFICIAL_HOST) L"/media.php?s=/Pay/index.html")
// The login page; both parameters carry the same channel code.
#define LOGIN_PAGE_URL \
  (L"https://" QM_WIDEN(QM_LOGIN_HOST) L"/pc_game_qlmc_tg2.php?lm=qlmc707xq52&referer_param=qlmc707xq52")
