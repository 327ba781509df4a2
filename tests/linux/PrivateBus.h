#pragma once

#include "TempDir.h"

#include <QProcess>
#include <QStringList>

#include <sys/prctl.h>

#include <csignal>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

// A D-Bus message bus of the test's own, with nothing to activate, and stand-in services
// on it; all of them end with the object.
class PrivateBus {
public:
    PrivateBus() {
        std::ofstream(dir_ / "bus.conf") << "<busconfig><type>session</type><listen>unix:dir=" << dir_.path()
                                          << "</listen><auth>EXTERNAL</auth><policy context=\"default\">"
                                             "<allow send_destination=\"*\" eavesdrop=\"true\"/><allow eavesdrop=\"true\"/>"
                                             "<allow own=\"*\"/>"
                                             "</policy></busconfig>";
        diesWithTest(daemon_);
        daemon_.start("dbus-daemon", {"--nofork", "--print-address",
                                      QString::fromStdString("--config-file=" + (dir_ / "bus.conf"))});
        if (daemon_.waitForReadyRead(5000)) address_ = daemon_.readLine().trimmed().toStdString();
    }
    ~PrivateBus() {
        for (auto& service : services_) stop(*service);
        stop(daemon_);
    }

    const std::string& address() const { return address_; }

    // Starts a stand-in script on the bus and waits for its "ready" line; false when it
    // doesn't come.
    bool start(const std::string& script, const QStringList& arguments) {
        auto& service = services_.emplace_back(std::make_unique<QProcess>());
        auto environment = QProcessEnvironment::systemEnvironment();
        environment.insert("DBUS_SESSION_BUS_ADDRESS", QString::fromStdString(address_));
        service->setProcessEnvironment(environment);
        service->setProcessChannelMode(QProcess::ForwardedErrorChannel);
        diesWithTest(*service);
        service->start("/usr/bin/python3", QStringList{QString::fromStdString(script)} + arguments);
        return service->waitForReadyRead(10000) && service->readLine().trimmed() == "ready";
    }

    // The process of the stand-in started `index`th.
    qint64 servicePid(std::size_t index) const { return services_.at(index)->processId(); }

private:
    // A crashed test leaves no bus or stand-in behind.
    static void diesWithTest(QProcess& process) {
        process.setChildProcessModifier([] { prctl(PR_SET_PDEATHSIG, SIGTERM); });
    }
    static void stop(QProcess& process) {
        process.terminate();
        if (!process.waitForFinished(3000)) process.kill();
        process.waitForFinished(1000);
    }

    TempDir dir_;
    QProcess daemon_;
    std::string address_;
    std::vector<std::unique_ptr<QProcess>> services_;
};
