/* The registry keys that the launcher, the game and the disc's programs
 * share, under HKEY_LOCAL_MACHINE (and the per-user key of the same path
 * under HKEY_CURRENT_USER). Each path is given whole and as parent and name,
 * since the uninstaller removes the chain one key at a time. */
#ifndef KVL_REGISTRYKEYS_H
#define KVL_REGISTRYKEYS_H

#define COMPANY_KEY_PARENT "SOFTWARE"
#define COMPANY_KEY_NAME   "BRIXOLAN"
#define COMPANY_KEY        COMPANY_KEY_PARENT "\\" COMPANY_KEY_NAME
#define VENDOR_KEY_PARENT  COMPANY_KEY
#define VENDOR_KEY_NAME    "K.V.L"
#define VENDOR_KEY         VENDOR_KEY_PARENT "\\" VENDOR_KEY_NAME
/* The product key: installation folder, disc root and the game's settings. */
#define PRODUCT_KEY_PARENT VENDOR_KEY
#define PRODUCT_KEY_NAME   "1.0"
#define PRODUCT_KEY        PRODUCT_KEY_PARENT "\\" PRODUCT_KEY_NAME

/* The entry of the system's list of installed programs. */
#define UNINSTALL_PARENT   "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall"
#define UNINSTALL_NAME     "K.V.L"
#define UNINSTALL_KEY      UNINSTALL_PARENT "\\" UNINSTALL_NAME

#endif
