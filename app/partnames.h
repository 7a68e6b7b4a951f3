// The names of the parts and of their folder in the data folder
// (parts.h): the name rules refuse them as series, and the warning names
// the folder.
#pragma once

// The extension of a part's name. A listed name with this extension is
// never moved.
#define INSTRRSE_PART_SUFFIX ".instrrse-deel"
const char c_szPartSuffix[] = INSTRRSE_PART_SUFFIX;
// The folder of parts is named this, with that extension; in full, for the
// user's eyes.
#define INSTRRSE_PART_FOLDER_BASE "delen"
const char c_szPartFolderBase[] = INSTRRSE_PART_FOLDER_BASE;
#define INSTRRSE_PART_FOLDER INSTRRSE_PART_FOLDER_BASE INSTRRSE_PART_SUFFIX
