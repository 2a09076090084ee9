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

// POSIX: "COM3" -> $RM460_PREFIX/dosdevices/com3 when that link exists, else
// the conventional /dev/ttyS2. Windows: the name as it stands. Any other name
// is returned as it stands.
std::string ResolveComDevice(const std::string& name);

// POSIX: "D://RM460_Record.txt" -> $RM460_PREFIX/dosdevices/d:/RM460_Record.txt
// when that link exists, else $RM460_PREFIX/drive_d/RM460_Record.txt (the
// folder is made on first use). Windows: the path as it stands. Paths without
// a drive letter are returned unchanged.
std::string ResolveFilePath(const std::string& path);

// Tests put the root of a drive ('D') into a temporary folder, so that no test
// writes to a real drive; "" undoes it. The folder wins on every system.
void OverrideDriveFolder(char drive, const std::string& folder);

}  // namespace platform
