#include "platform/linux/SingleInstance.h"

#include <QElapsedTimer>
#include <QLocalSocket>
#include <QThread>

#include <cerrno>
#include <cstdlib>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace tavlin::platform {
namespace {

bool isPrivateDirectory(const std::string& path) {
    struct stat info {};
    if (lstat(path.c_str(), &info) != 0 || !S_ISDIR(info.st_mode) || info.st_uid != geteuid()) return false;
    if ((info.st_mode & 077) != 0 && chmod(path.c_str(), 0700) != 0) return false;
    return true;
}

} // namespace

std::optional<std::string> SingleInstance::privateDirectory() {
    std::string path;
    const char* runtime = std::getenv("XDG_RUNTIME_DIR");
    if (runtime && runtime[0] == '/' && isPrivateDirectory(runtime))
        path = std::string(runtime) + "/tavlin";
    else
        path = "/tmp/tavlin-" + std::to_string(geteuid());
    if (mkdir(path.c_str(), 0700) != 0 && errno != EEXIST) return std::nullopt;
    if (!isPrivateDirectory(path)) return std::nullopt;
    return path;
}

SingleInstance::SingleInstance(std::string directory) : directory_(std::move(directory)) {
    QObject::connect(&server_, &QLocalServer::newConnection, &server_, [this] { accept(); });
}

SingleInstance::~SingleInstance() {
    server_.close();
    if (lockFd_ >= 0) close(lockFd_);
}

std::string SingleInstance::socketPath() const {
    return directory_ + "/instance.socket";
}

bool SingleInstance::becomeInstance() {
    if (lockFd_ < 0) {
        const std::string lockPath = directory_ + "/instance.lock";
        lockFd_ = open(lockPath.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
        if (lockFd_ < 0) return false;
    }
    if (flock(lockFd_, LOCK_EX | LOCK_NB) != 0) return false;
    // Holding the lock, any socket file here was left by an instance that is gone.
    const QString path = QString::fromStdString(socketPath());
    QLocalServer::removeServer(path);
    server_.setSocketOptions(QLocalServer::UserAccessOption);
    if (!server_.listen(path)) {
        flock(lockFd_, LOCK_UN);
        return false;
    }
    return true;
}

bool SingleInstance::forward(const std::vector<std::string>& urls, int timeoutMs) const {
    QByteArray message;
    for (const auto& url : urls) message.append(url.data(), qsizetype(url.size())).append('\n');
    if (message.size() > maxMessageBytes) return false;
    QElapsedTimer clock;
    clock.start();
    // The instance may have just taken the lock and not be listening yet: try again
    // until it does or the time is up.
    while (true) {
        QLocalSocket socket;
        socket.connectToServer(QString::fromStdString(socketPath()));
        if (socket.waitForConnected(200)) {
            socket.write(message);
            socket.disconnectFromServer();
            if (socket.state() != QLocalSocket::UnconnectedState) socket.waitForDisconnected(1000);
            return socket.bytesToWrite() == 0;
        }
        if (clock.elapsed() >= timeoutMs) return false;
        QThread::msleep(50);
    }
}

void SingleInstance::setReceiver(Receiver receiver) {
    receiver_ = std::move(receiver);
}

void SingleInstance::accept() {
    while (QLocalSocket* socket = server_.nextPendingConnection()) {
        auto buffer = std::make_shared<QByteArray>();
        QObject::connect(socket, &QLocalSocket::readyRead, socket, [socket, buffer] {
            buffer->append(socket->readAll());
            if (buffer->size() > maxMessageBytes) socket->abort(); // not one of ours
        });
        QObject::connect(socket, &QLocalSocket::disconnected, socket, [this, socket, buffer] {
            buffer->append(socket->readAll());
            socket->deleteLater();
            if (buffer->size() > maxMessageBytes) return;
            std::vector<std::string> urls;
            for (const QByteArray& line : buffer->split('\n'))
                if (!line.isEmpty()) urls.emplace_back(line.constData(), std::size_t(line.size()));
            if (!urls.empty() && receiver_) receiver_(std::move(urls));
        });
    }
}

} // namespace tavlin::platform
