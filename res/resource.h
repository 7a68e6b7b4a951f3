// Resource and control identifiers, shared by the resource script and the code.
#pragma once

#define IDD_DATAFOLDER  101
#define IDB_LINK        102
#define IDB_LINK_HOT    103
#define IDC_LINKCURSOR  104

#define IDC_MESSAGE     1000
#define IDC_DATAPATH    1005
#define IDC_BROWSE      1006

/* The download link: drawn at a fixed place in the dialog's client area, in
   pixels whatever the dialog font, from two bitmaps of its size. Plain C, so
   that the resource generator, built for the build machine, reads the same
   values as the program. */
#define LINK_X          82
#define LINK_Y          194
#define LINK_CX         304
#define LINK_CY         16

/* The link text's blue, and the dialog's grey behind it and everywhere else. */
#define LINK_TEXT_R     0
#define LINK_TEXT_G     0
#define LINK_TEXT_B     255
#define DIALOG_GREY     228
