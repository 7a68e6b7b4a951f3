// The console window packcheck may have been given by Explorer.
#pragma once
#include <windows.h>

// Whether the console is packcheck's own, with both its input and its
// output there: started by a double-click, or by dropping a folder or a
// zip on it. Such a window closes the moment packcheck ends. In a command
// prompt or a script the console is shared with the program that started
// packcheck, and output to a file or a pipe is read by a program, so then
// it is FALSE.
BOOL OwnsItsConsole(void);

// Asks for a key and waits for one, so the report stays on screen until
// the publisher has read it.
void WaitForKeyToClose(void);
