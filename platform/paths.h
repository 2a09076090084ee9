// Where things live: the program's folder, the prefix that holds the COM and
// drive links, and the mapping of Windows-style names onto this system.
#pragma once

#include <string>

namespace platform {

// $RM460_PREFIX, or ~/.rm460 when it is not set.
std::string Prefix();

// The folder of the running executable, ending in its path separator.
std::string ExecutableFolder();
// Tests put the "executable's folder" into a temporary folder ("" undoes it).
void OverrideExecutableFolder(const std::string& folder);

// "COM3" -> $RM460_PREFIX/dosdevices/com3 when that link exists, else the
// conventional /dev/ttyS2. Any other name is returned as it stands.
std::string ResolveComDevice(const std::string& name);

// "D://RM460_Record.txt" -> $RM460_PREFIX/dosdevices/d:/RM460_Record.txt when
// that link exists, else $RM460_PREFIX/drive_d/RM460_Record.txt (the folder is
// made on first use). Paths without a drive letter are returned unchanged.
std::string ResolveFilePath(const std::string& path);

}  // namespace platform
