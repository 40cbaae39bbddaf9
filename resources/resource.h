/* Resource identifiers of the launcher: one block per dialog, then the
 * pictures, icons and the text table. Shared by the resource script and
 * the code, so it holds nothing but #defines. */
#ifndef KVL_RESOURCE_H
#define KVL_RESOURCE_H

/* Main menu (dialog 100) */
#define IDD_MAINMENU            100
#define IDC_MENU_INSTALL        1000
#define IDC_MENU_UNINSTALL      1001
#define IDC_MENU_PLAY           1002
#define IDC_MENU_SETUP          1003
#define IDC_MENU_ARTBOOK        1004
#define IDC_MENU_CHECK          1005
#define IDC_MENU_README         1006
#define IDC_MENU_GROUP          1410
#define IDC_MENU_PICTURE        1413
/* Exit is the Cancel id, 2 */

/* Message dialogs (dialog 302) */
#define IDD_MESSAGE             302
#define IDC_MSG_TEXT            1406
#define IDC_MSG_CHECK           1407
#define IDC_MSG_BUTTON          1408
/* Annuler is the Cancel id, 2 */

/* System information (dialog 103) */
#define IDD_SYSINFO             103
#define IDC_SYSINFO_REPORT      1300
/* Retour is the OK id, 1 */

/* Graphics setup (dialog 104) */
#define IDD_GRAPHICS            104
#define IDC_GFX_DEVICE          1201
#define IDC_GFX_MODE            1202
#define IDC_GFX_DEVICE_LABEL    1411
#define IDC_GFX_MODE_LABEL      1412
#define IDC_GFX_TRANSP_CHECK    1429
#define IDC_GFX_TRANSP_NOTE     1430
#define IDC_GFX_PLAY            1002
/* Retour is the Cancel id, 2 */

/* Wait window (dialog 106) */
#define IDD_WAIT                106
#define IDC_WAIT_TEXT           1007

/* Credits (dialog 306) */
#define IDD_TEAM                306
/* OK is id 1 */

/* Artbook (dialog 308) */
#define IDD_ARTBOOK             308
#define IDC_ART_CAPTION         1007
#define IDC_ART_LEVELS          1414
#define IDC_ART_PREV            1422
#define IDC_ART_NEXT            1423
#define IDC_ART_PICTURE         1424
/* Retour is the Cancel id, 2 */

/* Bitmaps */
#define IDB_LOGO                200   /* 128 x 74, 256 colours: message dialogs, report */
#define IDB_MENU_SIDE           202   /* 145 x 295, 24 bits: main menu */
#define IDB_WAIT_SIDE           203   /* 145 x 295, 24 bits: wait window */
#define IDB_EMBLEM              204   /* 50 x 64, 8 bits: picture button, graphics setup */
#define IDB_TEAM                305   /* 640 x 480, 8 bits RLE: credits */
#define IDB_ART_COVER           1004  /* 640 x 480, 256 colours: artbook cover */

/* Icons */
#define IDI_MAIN                150
#define IDI_CHIP                152
#define IDI_COMPUTER            153

/* Text table (RT_RCDATA) */
#define IDR_TEXTTABLE           312

#endif
