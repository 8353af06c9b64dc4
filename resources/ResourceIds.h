// Resource ids of the Windows program's icons and pictures; read by both C++ and windres, so
// plain #defines only. Icons are 32-bit with an AND mask; bitmaps are 32-bit bottom-up DIBs
// whose transparent pixels are all zero (alpha 0, already premultiplied).
#ifndef ODB_RESOURCE_IDS_H
#define ODB_RESOURCE_IDS_H

// Program icon, 16x16 and 32x32: the set 1 drums. The lowest icon id, so Explorer shows it.
#define IDI_APP 1

// Icon set 1 (ImageList1), 16x16, by event action: OnceBackup, BackupOnTimer, PauseBackup, other.
#define IDI_SET1_0 101  // two database drums, blue and red, on a yellow ground
#define IDI_SET1_1 102  // the same with a clock face
#define IDI_SET1_2 103  // the drums greyed, with a red pause sign
#define IDI_SET1_3 104  // the drums fully greyed

// Icon set 2 (ImageList2), same order.
#define IDI_SET2_0 111  // a page with a green plus
#define IDI_SET2_1 112  // a stopwatch
#define IDI_SET2_2 113  // a blue circular pause button
#define IDI_SET2_3 114  // a grey circular pause button

// Tray menu pictures (ImageListTray): one 80x16 strip of five 16x16 images.
#define IDB_TRAYMENU 201
#define ODB_TRAYPIC_WINDOW_CROSS 0  // miCloseForm "Zavři nastavení"
#define ODB_TRAYPIC_WINDOWS 1       // miOpenForm "Otevři nastavení"
#define ODB_TRAYPIC_CROSS 2         // miEnd "Konec"
#define ODB_TRAYPIC_DOWNLOAD 3      // blue circle with a white downward arrow; miLogin "Přihlašovací údaje…"
#define ODB_TRAYPIC_TILES 4         // miAnimateIcons "Nastavení ikon"
#define ODB_TRAYPIC_COUNT 5

// Button pictures of the settings window, 16x16.
#define IDB_FOLDER 211           // the four browse buttons: an open folder
#define IDB_FOLDER_DISABLED 212  // the same greyed, for a disabled browse button
#define IDB_CHANGE 213           // SBComStart "Změň": a page with two circling arrows
#define IDB_OK 214               // BtnOK: a green tick
#define IDB_HIDE 215             // BtnCancel "Skrýt": the window going down into the tray
#define IDB_EXIT 216             // SBExit "Konec": the red cross of the tray menu's Konec

// Icon chooser buttons, 32x32: set 1 drums (SBPrvni), set 2 stopwatch (SBDruhy).
#define IDB_CHOOSER_SET1 221
#define IDB_CHOOSER_SET2 222

#endif
