#include "core/document/ZipDevice.h"

#include <cerrno>
#include <limits>

namespace pellumar::workbook {

namespace {

QIODevice& deviceOf(voidpf stream) {
    return *static_cast<ZipDevice*>(stream)->device;
}

voidpf ZCALLBACK openDevice(voidpf opaque, const void*, int) {
    return opaque;
}

uLong ZCALLBACK readDevice(voidpf, voidpf stream, void* buf, uLong size) {
    const qint64 got = deviceOf(stream).read(static_cast<char*>(buf), static_cast<qint64>(size));
    return got > 0 ? static_cast<uLong>(got) : 0;
}

uLong ZCALLBACK writeDevice(voidpf, voidpf stream, const void* buf, uLong size) {
    errno = 0;
    const qint64 put =
        deviceOf(stream).write(static_cast<const char*>(buf), static_cast<qint64>(size));
    if (put != static_cast<qint64>(size)) {
        auto* file = static_cast<ZipDevice*>(stream);
        if (file->systemError == 0) {
            file->systemError = errno;
        }
    }
    return put > 0 ? static_cast<uLong>(put) : 0;
}

ZPOS64_T ZCALLBACK tellDevice(voidpf, voidpf stream) {
    const qint64 pos = deviceOf(stream).pos();
    return pos >= 0 ? static_cast<ZPOS64_T>(pos) : std::numeric_limits<ZPOS64_T>::max();
}

long ZCALLBACK seekDevice(voidpf, voidpf stream, ZPOS64_T offset, int origin) {
    QIODevice& device = deviceOf(stream);
    if (offset > static_cast<ZPOS64_T>(std::numeric_limits<qint64>::max())) {
        return -1;
    }
    qint64 to = static_cast<qint64>(offset);
    switch (origin) {
        case ZLIB_FILEFUNC_SEEK_SET:
            break;
        case ZLIB_FILEFUNC_SEEK_CUR:
            to += device.pos();
            break;
        case ZLIB_FILEFUNC_SEEK_END:
            to += device.size();
            break;
        default:
            return -1;
    }
    return device.seek(to) ? 0 : -1;
}

int ZCALLBACK closeDevice(voidpf, voidpf) {
    return 0;  // the device belongs to the caller
}

int ZCALLBACK errorOfDevice(voidpf, voidpf) {
    return 0;  // failures come back as short reads and writes
}

}  // namespace

zlib_filefunc64_def deviceFunctions(ZipDevice& file) {
    zlib_filefunc64_def functions{};
    functions.zopen64_file = openDevice;
    functions.zread_file = readDevice;
    functions.zwrite_file = writeDevice;
    functions.ztell64_file = tellDevice;
    functions.zseek64_file = seekDevice;
    functions.zclose_file = closeDevice;
    functions.zerror_file = errorOfDevice;
    functions.opaque = &file;
    return functions;
}

}  // namespace pellumar::workbook
