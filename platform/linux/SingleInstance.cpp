#include "platform/linux/SingleInstance.h"

#include "platform/linux/InstanceClient.h"

#include <QDataStream>
#include <QElapsedTimer>
#include <QLocalSocket>
#include <QLoggingCategory>
#include <QThread>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace tavlin::platform {
namespace {

Q_LOGGING_CATEGORY(lcInstance, "tavlin.instance")

constexpr char acknowledgement = InstanceClient::acknowledgement;
constexpr QDataStream::Version wireVersion = QDataStream::Qt_6_0;
static_assert(SingleInstance::maxMessageBytes == qint64(InstanceClient::maxMessageBytes));

// Only this user can add, rename or remove entries: a directory of the user's that
// neither the group nor others may write to.
bool onlyUserWrites(const struct stat& info) {
    return S_ISDIR(info.st_mode) && info.st_uid == geteuid() && (info.st_mode & 022) == 0;
}

std::string octal(mode_t mode) {
    char text[8];
    std::snprintf(text, sizeof text, "%03o", unsigned(mode & 07777));
    return text;
}

// Creates `path` as a 0700 directory, or checks that what is there is exactly that.
SingleInstance::Location privateFolder(const std::string& path) {
    const std::string advice = "; Tavlin can't keep to one instance there. Remove it, or set XDG_RUNTIME_DIR.";
    if (mkdir(path.c_str(), 0700) != 0 && errno != EEXIST)
        return {{}, "can't create " + path + ": " + std::strerror(errno)};
    struct stat info {};
    if (lstat(path.c_str(), &info) != 0) return {{}, "can't read " + path + ": " + std::strerror(errno)};
    if (S_ISLNK(info.st_mode)) return {{}, path + " is a symbolic link, not a folder of this user's" + advice};
    if (!S_ISDIR(info.st_mode)) return {{}, path + " is not a folder" + advice};
    if (info.st_uid != geteuid())
        return {{}, path + " belongs to another user (uid " + std::to_string(info.st_uid) + ")" + advice};
    if ((info.st_mode & 077) != 0)
        return {{}, path + " is open to other users (mode " + octal(info.st_mode) + ")" + advice};
    return {path, {}};
}

} // namespace

SingleInstance::Location SingleInstance::privateDirectory(const std::string& sharedTemp) {
    if (const char* runtime = std::getenv("XDG_RUNTIME_DIR"); runtime && runtime[0] != '\0') {
        struct stat info {};
        if (runtime[0] == '/' && stat(runtime, &info) == 0 && onlyUserWrites(info))
            return privateFolder(std::string(runtime) + "/tavlin");
        qCWarning(lcInstance, "XDG_RUNTIME_DIR (%s) is not a folder of this user's alone; using %s instead", runtime,
                  sharedTemp.c_str());
    }
    return privateFolder(sharedTemp + "/tavlin-" + std::to_string(geteuid()));
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

SingleInstance::Role SingleInstance::becomeInstance() {
    if (lockFd_ < 0) {
        const std::string lockPath = directory_ + "/instance.lock";
        lockFd_ = open(lockPath.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
        if (lockFd_ < 0) {
            error_ = "can't open " + lockPath + ": " + std::strerror(errno);
            return Role::failed;
        }
    }
    if (flock(lockFd_, LOCK_EX | LOCK_NB) != 0) {
        if (errno == EWOULDBLOCK) return Role::other;
        error_ = "can't lock " + directory_ + "/instance.lock: " + std::strerror(errno);
        return Role::failed;
    }
    // Holding the lock, any socket file here was left by an instance that is gone.
    const QString path = QString::fromStdString(socketPath());
    QLocalServer::removeServer(path);
    server_.setSocketOptions(QLocalServer::UserAccessOption);
    if (!server_.listen(path)) {
        error_ = "can't listen at " + socketPath() + ": " + server_.errorString().toStdString();
        flock(lockFd_, LOCK_UN);
        return Role::failed;
    }
    return Role::instance;
}

SingleInstance::Delivery SingleInstance::forward(const std::vector<std::string>& arguments, int timeoutMs,
                                                 bool waitForListener) const {
    std::vector<const char*> pointers;
    std::vector<std::size_t> lengths;
    for (const std::string& argument : arguments) {
        pointers.push_back(argument.data());
        lengths.push_back(argument.size());
    }
    const std::string path = socketPath();
    QElapsedTimer clock;
    clock.start();
    const auto remaining = [&] { return int(std::max<qint64>(0, timeoutMs - clock.elapsed())); };
    // The instance may have just taken the lock and not be listening yet: try again
    // until it does or the time is up.
    while (true) {
        switch (InstanceClient::deliver(path.c_str(), pointers.data(), lengths.data(), pointers.size(),
                                        std::max(1, remaining()))) {
        case InstanceClient::Delivery::delivered: return Delivery::delivered;
        case InstanceClient::Delivery::tooLong: return Delivery::tooLong;
        case InstanceClient::Delivery::noAnswer: return Delivery::noAnswer;
        case InstanceClient::Delivery::untrusted:
            qCWarning(lcInstance, "%s is not this user's own; nothing handed over", path.c_str());
            return Delivery::noAnswer;
        case InstanceClient::Delivery::noInstance: break;
        }
        if (!waitForListener || remaining() == 0) return Delivery::noInstance;
        QThread::msleep(50);
    }
}

void SingleInstance::setReceiver(Receiver receiver) {
    receiver_ = std::move(receiver);
}

void SingleInstance::accept() {
    while (QLocalSocket* socket = server_.nextPendingConnection()) {
        QObject::connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
        QObject::connect(socket, &QLocalSocket::readyRead, socket, [this, socket] {
            if (socket->bytesAvailable() > maxMessageBytes) { // not one of ours
                socket->abort();
                return;
            }
            QDataStream in(socket);
            in.setVersion(wireVersion);
            in.startTransaction(); // until the whole list is here
            quint32 count = 0;
            in >> count;
            std::vector<std::string> arguments;
            for (quint32 i = 0; i < count && in.status() == QDataStream::Ok; ++i) {
                QByteArray argument;
                in >> argument;
                if (in.status() == QDataStream::Ok) arguments.emplace_back(argument.constData(), std::size_t(argument.size()));
            }
            if (!in.commitTransaction()) return;
            // The answer goes out now, before the arguments are acted on: the start that
            // sent them (a desktop's key binding waits for it) ends at once.
            socket->putChar(acknowledgement);
            socket->flush();
            socket->disconnectFromServer();
            if (!arguments.empty() && receiver_) receiver_(std::move(arguments));
        });
    }
}

} // namespace tavlin::platform
