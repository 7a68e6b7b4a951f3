// Shell objects for the tests, the demo and the benchmarks: the prefix's
// special folders and shortcuts made by the shell itself.
#pragma once
#include <string>

namespace driver {

// The folder the shell gives for csidl; empty when it gives none.
std::string ShellFolder(int csidl);

// A shortcut lnkPath to target, made and saved by the shell's own link
// object; workingDir may be empty. COM must be initialised.
bool MakeShortcut(const std::string &lnkPath, const std::string &target,
                  const std::string &workingDir = "");

}  // namespace driver
