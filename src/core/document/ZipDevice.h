// minizip's file functions over a QIODevice, so that zip containers are read from an open file
// and written into the atomic save's device, whose failures (a full disk) fail the zip.
#pragma once

#include <QIODevice>

#include <minizip/ioapi.h>

namespace pellumar::workbook {

// The functions for unzOpen2_64 and zipOpen2_64 with `device` (open, and seekable) as the file;
// the name they are given is not used, and closing leaves the device open to its owner.
zlib_filefunc64_def deviceFunctions(QIODevice& device);

}  // namespace pellumar::workbook
