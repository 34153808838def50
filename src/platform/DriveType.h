#pragma once

// The drive type codes, as Windows numbers them: the mount table, the volume table, the drive
// table and the drive selector all speak of types in these. A removable volume (a USB stick, a
// card) is dtFloppy, as Windows has it.
enum TDriveType : int { dtUnknown, dtNoRootDrive, dtFloppy, dtFixed, dtRemote, dtCDROM, dtRAM };
