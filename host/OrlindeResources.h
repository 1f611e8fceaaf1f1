/* Resource numbers of "Orlinde.scr" (read by the resource compiler and by C++). */
#ifndef ORLINDE_RESOURCES_H
#define ORLINDE_RESOURCES_H

/* The 256 x 256 caustics texture, the whole bitmap file as it is handed to the renderer. */
#define IDR_CAUSTICS_BMP 101
/* The 152 x 112 preview picture. */
#define IDB_PREVIEW 102

#endif
