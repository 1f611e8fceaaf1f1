/* Resource numbers of "Orlinde.scr" (read by the resource compiler and by C++). */
#ifndef ORLINDE_RESOURCES_H
#define ORLINDE_RESOURCES_H

/* The 256 x 256 caustics texture, the whole bitmap file as it is handed to the renderer. */
#define IDR_CAUSTICS_BMP 101
/* The 152 x 112 preview picture. */
#define IDB_PREVIEW 102

/* ---- Settings dialog and Command button (dialog shell) ---- */
/* The Command button's six 64 x 25 state images. */
#define IDB_BUTTON_NORMAL 201
#define IDB_BUTTON_HIGHLIGHT 202
#define IDB_BUTTON_PRESSED 203
#define IDB_BUTTON_DISABLE 204
#define IDB_BUTTON_SELECTED 205
#define IDB_BUTTON_HIGHLIGHTSELECT 206
/* The dialog's 12 x 12 option marks: unticked (Img_Ra(0)) and ticked (Img_Ra(1)). */
#define IDB_OPTION_UNTICKED 211
#define IDB_OPTION_TICKED 212
/* The about panel's streak (69 x 125) and its four drawn sparkle frames (28 x 28). */
#define IDB_STREAK 221
#define IDB_SPARKLE0 222
#define IDB_SPARKLE1 223
#define IDB_SPARKLE2 224
#define IDB_SPARKLE3 225
/* ---- end of the dialog shell's block ---- */

#endif
