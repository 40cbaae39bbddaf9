/* Resource ids and window captions of the demo disc's programs, shared
 * with the tests and the tour that drive them. */
#ifndef KVL_STANDIN_RES_H
#define KVL_STANDIN_RES_H

/* In Windows-1252, as the programs show them; each dialog template repeats
 * its program's caption. */
#define SETUP_CAPTION      "Installation de K.V.L"
#define UNINSTALL_CAPTION  "D\xE9sinstallation de K.V.L"
#define GAME_CAPTION       "K.V.L - D\xE9mo"

#define IDI_STANDIN        1
#define IDB_STANDIN_LOGO   2
#define IDR_UNINSTALLER    3

#define IDD_SETUP          100
#define IDC_SETUP_DIR      1001

#define IDD_GAME           200
#define IDC_GAME_DEVICE    2001
#define IDC_GAME_MODE      2002
#define IDC_GAME_DRIVER    2003
#define IDC_GAME_HARD      2004
#define IDC_GAME_TRANSP    2005
#define IDC_GAME_LEVELS    2006
#define IDC_GAME_NEXT      2007

#endif
