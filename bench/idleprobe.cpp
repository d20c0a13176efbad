#include "idleprobe.h"

#include <QAbstractEventDispatcher>
#include <QCoreApplication>
#include <QEvent>
#include <QFile>
#include <QTimer>
#include <QWidget>

#include <cstdio>
#include <ctime>

namespace idleprobe {

namespace {

class PaintWatch : public QObject {
public:
    bool painted = false;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::Paint)
            painted = true;
        return QObject::eventFilter(watched, event);
    }
};

long long peakResidentKib()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (QByteArray line = status.readLine(); !line.isEmpty(); line = status.readLine())
        if (line.startsWith("VmHWM:"))
            return line.mid(6).trimmed().split(' ').first().toLongLong();
    return -1;
}

} // namespace

long long monotonicNs()
{
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return static_cast<long long>(now.tv_sec) * 1'000'000'000LL + now.tv_nsec;
}

long long runUntilIdle(QWidget& window, const std::function<void()>& thenDo)
{
    PaintWatch watch;
    window.installEventFilter(&watch);
    long long firstIdle = 0;
    bool workQueued = false;
    bool workDone = !thenDo;

    QAbstractEventDispatcher* dispatcher = QAbstractEventDispatcher::instance();
    const auto connection = QObject::connect(dispatcher, &QAbstractEventDispatcher::aboutToBlock, [&] {
        if (!watch.painted)
            return;
        if (firstIdle == 0)
            firstIdle = monotonicNs();
        if (workDone) {
            QCoreApplication::quit();
        } else if (!workQueued) {
            workQueued = true;
            QTimer::singleShot(0, [&] {
                thenDo();
                workDone = true;
            });
        }
    });
    QCoreApplication::exec();
    QObject::disconnect(connection);
    window.removeEventFilter(&watch);
    return firstIdle;
}

void printReport(long long idleNs)
{
    std::printf("idle_ns %lld\nhwm_kib %lld\n", idleNs, peakResidentKib());
    std::fflush(stdout);
}

} // namespace idleprobe
