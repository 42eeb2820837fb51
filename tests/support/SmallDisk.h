// A real, small disk for tests of full-disk saves: a tmpfs of a given size mounted on a
// temporary folder, which can be filled until only a given number of bytes is free. Mounting
// needs the right to (root, or a user namespace); where it is not allowed, usable() is false and
// reason() says why, for a QSKIP.
#pragma once

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QString>
#include <QTemporaryDir>

#include <cerrno>
#include <cstring>

#ifdef Q_OS_LINUX
#include <sys/mount.h>
#include <sys/statvfs.h>
#endif

namespace pellumar::testing {

class SmallDisk {
public:
    // A disk of `bytes` on a temporary folder, or on the folder `at` (made when missing).
    explicit SmallDisk(qint64 bytes, const QString& at = QString())
        : at_(at.isEmpty() ? dir_.path() : at) {
        QDir().mkpath(at_);
#ifdef Q_OS_LINUX
        const QByteArray where = QFile::encodeName(at_);
        const QByteArray options = "size=" + QByteArray::number(bytes) + ",mode=0700";
        if (::mount("tmpfs", where.constData(), "tmpfs", 0, options.constData()) == 0) {
            mounted_ = true;
        } else {
            reason_ = QStringLiteral("cannot mount a small tmpfs here (%1)")
                          .arg(QString::fromLocal8Bit(std::strerror(errno)));
        }
#else
        Q_UNUSED(bytes);
        reason_ = QStringLiteral("small test disks are made with tmpfs, on Linux only");
#endif
    }
    ~SmallDisk() {
#ifdef Q_OS_LINUX
        if (mounted_) {
            ::umount2(QFile::encodeName(at_).constData(), MNT_DETACH);
        }
#endif
    }
    SmallDisk(const SmallDisk&) = delete;
    SmallDisk& operator=(const SmallDisk&) = delete;

    bool usable() const {
        return mounted_;
    }
    QString reason() const {
        return reason_;
    }
    QString path() const {
        return at_;
    }
    QString filePath(const QString& name) const {
        return QDir(at_).filePath(name);
    }

    // The bytes still free on the disk.
    qint64 freeBytes() const {
#ifdef Q_OS_LINUX
        struct statvfs s {};
        if (::statvfs(QFile::encodeName(at_).constData(), &s) == 0) {
            return static_cast<qint64>(s.f_bavail) * static_cast<qint64>(s.f_frsize);
        }
#endif
        return -1;
    }

    // Fills the disk with a file of its own until only `left` bytes (a multiple of 4096, the
    // disk's block) are free; false when it has less than that already.
    bool fillLeaving(qint64 left) {
        QFile filler(filePath(QStringLiteral(".filler%1").arg(fillers_++)));
        const qint64 take = freeBytes() - left;
        if (take < 0 || !filler.open(QIODevice::WriteOnly)) {
            return false;
        }
        const QByteArray block(4096, 'f');
        for (qint64 done = 0; done < take; done += block.size()) {
            if (filler.write(block.constData(), std::min<qint64>(block.size(), take - done)) < 0) {
                return false;
            }
        }
        return filler.flush() && freeBytes() == left;
    }

    // Makes the disk read-only (or writable again).
    bool setReadOnly(bool readOnly) {
#ifdef Q_OS_LINUX
        const unsigned long flags = MS_REMOUNT | (readOnly ? MS_RDONLY : 0);
        return mounted_ &&
               ::mount("tmpfs", QFile::encodeName(at_).constData(), "tmpfs", flags, nullptr) == 0;
#else
        Q_UNUSED(readOnly);
        return false;
#endif
    }

private:
    QTemporaryDir dir_;
    QString at_;
    bool mounted_ = false;
    int fillers_ = 0;
    QString reason_;
};

}  // namespace pellumar::testing
