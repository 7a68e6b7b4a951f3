// Resource and control identifiers, shared by the resource script and the code.
#pragma once

#define IDD_DATAFOLDER  101
#define IDB_LINK        102
#define IDB_LINK_HOT    103
#define IDC_LINKCURSOR  104

#define IDC_MESSAGE     1000
#define IDC_DATAPATH    1005
#define IDC_BROWSE      1006
