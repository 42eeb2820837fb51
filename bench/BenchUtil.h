// Small helpers shared by the benchmarks: wall-clock timing and the process's memory.
#pragma once

#include <QElapsedTimer>
#include <QFile>
#include <QString>

#include <cstdio>
#include <ctime>

namespace pellumar::bench {

// Resident memory now and at its peak, in MB, from /proc (0 where /proc is missing).
inline double residentMb(bool peak) {
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly)) {
        return 0;
    }
    const QByteArray key = peak ? QByteArrayLiteral("VmHWM:") : QByteArrayLiteral("VmRSS:");
    for (const QByteArray& line : status.readAll().split('\n')) {
        if (line.startsWith(key)) {
            return line.mid(key.size()).trimmed().split(' ').value(0).toDouble() / 1024.0;
        }
    }
    return 0;
}

template <typename F>
double timeMs(F&& f) {
    QElapsedTimer t;
    t.start();
    f();
    return static_cast<double>(t.nsecsElapsed()) / 1e6;
}

// Processor time in ms, of the whole process or of the calling thread alone: what a step costs
// also on a machine that other work keeps busy.
inline double processCpuMs() {
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) * 1e3 + static_cast<double>(t.tv_nsec) / 1e6;
}

inline double threadCpuMs() {
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) * 1e3 + static_cast<double>(t.tv_nsec) / 1e6;
}

inline void report(const char* what, double ms) {
    std::printf("%-44s %10.1f ms\n", what, ms);
}

}  // namespace pellumar::bench
