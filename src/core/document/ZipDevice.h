// minizip's file functions over a QIODevice, so that zip containers are read from an open file
// and written into the atomic save's device, whose failures (a full disk) fail the zip.
#pragma once

#include <QIODevice>

#include <minizip/ioapi.h>

namespace pellumar::workbook {

// A device as minizip's file, and the system's error code of its first failed write.
struct ZipDevice {
    QIODevice* device = nullptr;
    int systemError = 0;
};

// The functions for unzOpen2_64 and zipOpen2_64 with `file.device` (open, and seekable) as the
// file; the name they are given is not used, and closing leaves the device open to its owner.
// `file` must outlive the zip handle.
zlib_filefunc64_def deviceFunctions(ZipDevice& file);

}  // namespace pellumar::workbook
