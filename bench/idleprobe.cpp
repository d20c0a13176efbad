#include "idleprobe.h"

#include <QAbstractEventDispatcher>
#include <QCoreApplication>
#include <QEvent>
#include <QFile>
#include <QTimer>
#include <QWidget>

#include <cstdio>
#include <ctime>
#include <utility>
#include <vector>

namespace idleprobe {

namespace {

std::vector<std::pair<const char*, long long>>& phases()
{
    static std::vector<std::pair<const char*, long long>> marked;
    return marked;
}

class PaintWatch : public QObject {
public:
    bool painted = false;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::Paint && !painted) {
            painted = true;
            mark("paint");
        }
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

void mark(const char* name) { phases().emplace_back(name, monotonicNs()); }

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

int showAndReport(QWidget& window)
{
    mark("built");
    window.show();
    mark("shown");
    printReport(runUntilIdle(window));
    return 0;
}

void printReport(long long idleNs)
{
    std::printf("idle_ns %lld\nhwm_kib %lld\n", idleNs, peakResidentKib());
    for (const auto& [name, ns] : phases())
        std::printf("phase_ns %s %lld\n", name, ns);
    std::fflush(stdout);
}

} // namespace idleprobe
