// The instance's cost of a list that arrives a few bytes at a time: a 64 KiB list sent
// 7 bytes per write from another thread, while the instance serves it. Prints the
// instance thread's CPU time, the wall time, and whether the list was taken or cut off at
// the instance's deadline.
//
//   tavlin_instance_drip [CHUNK_BYTES [PAUSE_MICROSECONDS]]
//
// With a pause between writes each write arrives on its own, as from a client that
// drips on purpose; the instance cuts such a client off at its deadline.
#include "platform/linux/process/SingleInstance.h"

#include <QCoreApplication>
#include <QDataStream>
#include <QElapsedTimer>
#include <QLocalSocket>
#include <QTemporaryDir>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <sys/resource.h>
#include <thread>

namespace {

double cpuSeconds() {
    rusage usage {};
    getrusage(RUSAGE_THREAD, &usage); // the instance's thread alone, not the sender's
    return double(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
           double(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const int chunk = argc > 1 ? std::max(1, std::atoi(argv[1])) : 7;
    const int pause = argc > 2 ? std::max(0, std::atoi(argv[2])) : 0;
    QTemporaryDir dir;
    tavlin::platform::SingleInstance instance(dir.path().toStdString());
    std::atomic<bool> taken{false};
    instance.setReceiver([&taken](std::vector<std::string>) { taken = true; });
    if (instance.becomeInstance() != tavlin::platform::SingleInstance::Role::instance) return 1;

    QByteArray list;
    QDataStream out(&list, QIODevice::WriteOnly);
    out.setVersion(QDataStream::Qt_6_0);
    out << quint32(1) << QByteArray(int(tavlin::platform::SingleInstance::maxMessageBytes) - 16, 'x');

    const std::string path = instance.socketPath();
    std::atomic<bool> sent{false};
    std::thread sender([&] {
        QLocalSocket socket;
        socket.connectToServer(QString::fromStdString(path));
        if (!socket.waitForConnected(1000)) {
            sent = true;
            return;
        }
        for (qsizetype at = 0; at < list.size() && socket.state() == QLocalSocket::ConnectedState; at += chunk) {
            socket.write(list.mid(at, chunk));
            socket.waitForBytesWritten(1000);
            if (pause > 0) std::this_thread::sleep_for(std::chrono::microseconds(pause));
        }
        socket.waitForReadyRead(5000);
        sent = true;
    });
    const double cpuBefore = cpuSeconds();
    QElapsedTimer clock;
    clock.start();
    while (!sent) app.processEvents(QEventLoop::AllEvents, 10);
    sender.join();
    std::printf("list of %lld bytes in %d-byte writes %d µs apart: %s, %.2f s wall, %.2f s CPU\n",
                static_cast<long long>(list.size()), chunk, pause, taken ? "taken" : "cut off at the deadline",
                clock.elapsed() / 1000.0, cpuSeconds() - cpuBefore);
    return 0;
}
