#include "platform/linux/process/SingleInstance.h"

#include "platform/linux/process/InstanceClient.h"

#include <QDataStream>
#include <QElapsedTimer>
#include <QLocalSocket>
#include <QtEndian>
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

// How far the bytes received so far hold a whole list: resumed where the last look
// stopped, so a list that arrives a few bytes at a time is still looked at only once.
struct FrameScan {
    qsizetype next = 0;      // where the next length field starts
    qint64 arguments = -1;   // still to come; -1 until the count is read
    enum class Result { incomplete, complete, invalid };

    Result advance(const QByteArray& bytes) {
        const auto field = [&bytes](qsizetype at) { return qFromBigEndian<quint32>(bytes.constData() + at); };
        if (arguments < 0) {
            if (bytes.size() < 4) return Result::incomplete;
            arguments = field(0);
            next = 4;
            if (arguments * 4 > SingleInstance::maxMessageBytes) return Result::invalid;
        }
        while (arguments > 0) {
            if (bytes.size() < next + 4) return Result::incomplete;
            const quint32 length = field(next);
            const qint64 end = next + 4 + (length == 0xffffffffu ? 0 : qint64(length)); // all ones: a null array
            if (end > SingleInstance::maxMessageBytes) return Result::invalid;
            if (end > bytes.size()) return Result::incomplete;
            next = qsizetype(end);
            --arguments;
        }
        return Result::complete;
    }
};

std::vector<std::string> decode(const QByteArray& message) {
    QDataStream in(message);
    in.setVersion(wireVersion);
    quint32 count = 0;
    in >> count;
    std::vector<std::string> arguments;
    for (quint32 i = 0; i < count && in.status() == QDataStream::Ok; ++i) {
        QByteArray argument;
        in >> argument;
        arguments.emplace_back(argument.constData(), std::size_t(argument.size()));
    }
    return arguments;
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
    QObject::connect(&watcher_, &QFileSystemWatcher::directoryChanged, &server_, [this] { keepListening(); });
    retry_.setSingleShot(true);
    retry_.setInterval(1000);
    QObject::connect(&retry_, &QTimer::timeout, &server_, [this] { keepListening(); });
}

SingleInstance::~SingleInstance() {
    watcher_.disconnect();
    retry_.stop();
    qDeleteAll(server_.findChildren<QLocalSocket*>()); // while the count they keep is still here
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
    if (!listen()) {
        error_ = "can't listen at " + socketPath() + ": " + server_.errorString().toStdString();
        flock(lockFd_, LOCK_UN);
        return Role::failed;
    }
    // Removing the socket file, or Qt closing the server, changes the folder.
    if (!watcher_.addPath(QString::fromStdString(directory_)))
        qCWarning(lcInstance, "can't watch %s: a removed socket file goes unnoticed", directory_.c_str());
    return Role::instance;
}

bool SingleInstance::listen() {
    // Holding the lock, any socket file here was left by an instance that is gone, or
    // by this one before it stopped listening.
    const QString path = QString::fromStdString(socketPath());
    server_.close();
    QLocalServer::removeServer(path);
    server_.setSocketOptions(QLocalServer::UserAccessOption);
    if (!server_.listen(path)) return false;
    struct stat info {};
    socketInode_ = lstat(socketPath().c_str(), &info) == 0 ? info.st_ino : 0;
    return true;
}

void SingleInstance::keepListening() {
    if (lockFd_ < 0) return;
    struct stat info {};
    if (server_.isListening() && lstat(socketPath().c_str(), &info) == 0 && info.st_ino == socketInode_) return;
    qCWarning(lcInstance, "the instance socket %s is gone (%s); listening again", socketPath().c_str(),
              server_.isListening() ? "its file was removed" : qPrintable(server_.errorString()));
    if (listen()) {
        retry_.stop();
        return;
    }
    qCWarning(lcInstance, "can't listen at %s: %s; trying again in a second", socketPath().c_str(),
              qPrintable(server_.errorString()));
    retry_.start();
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
        if (clients_ >= maxClients) { // closed at once, so that its client need not wait
            socket->abort();
            socket->deleteLater();
            continue;
        }
        serve(socket);
    }
}

void SingleInstance::serve(QLocalSocket* socket) {
    ++clients_;
    QObject::connect(socket, &QObject::destroyed, &server_, [this] { --clients_; });
    QObject::connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
    // A client that does not finish its list in time is cut off.
    QTimer::singleShot(frameDeadlineMs, socket, [socket] {
        socket->abort();
        socket->deleteLater();
    });
    auto received = std::make_shared<QByteArray>();
    auto scan = std::make_shared<FrameScan>();
    QObject::connect(socket, &QLocalSocket::readyRead, socket, [this, socket, received, scan] {
        received->append(socket->readAll());
        switch (scan->advance(*received)) {
        case FrameScan::Result::incomplete:
            if (received->size() <= maxMessageBytes) return;
            [[fallthrough]];
        case FrameScan::Result::invalid: // not one of ours
            socket->abort();
            socket->deleteLater();
            return;
        case FrameScan::Result::complete: break;
        }
        QObject::disconnect(socket, &QLocalSocket::readyRead, nullptr, nullptr);
        auto arguments = decode(received->left(scan->next));
        // The answer goes out before the arguments are acted on: the start that sent them
        // (a desktop's key binding waits for it) ends at once.
        socket->putChar(acknowledgement);
        socket->flush();
        socket->disconnectFromServer();
        if (!arguments.empty() && receiver_) receiver_(std::move(arguments));
    });
}

} // namespace tavlin::platform
