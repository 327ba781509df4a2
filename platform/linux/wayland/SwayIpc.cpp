#include "platform/linux/wayland/SwayIpc.h"

#include <QDeadlineTimer>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLocalSocket>

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <optional>

namespace tavlin::platform {
namespace {

// A message is the magic, the payload's length and the message type (native byte
// order), then the payload.
constexpr char magic[] = {'i', '3', '-', 'i', 'p', 'c'};
constexpr std::size_t headerSize = sizeof magic + 2 * sizeof(std::uint32_t);
constexpr std::uint32_t runCommandType = 0;
constexpr std::uint32_t getTreeType = 4;
constexpr std::uint32_t maxReplyBytes = 1 << 20;

bool readExactly(QLocalSocket& socket, char* into, qint64 size, const QDeadlineTimer& deadline) {
    while (size > 0) {
        if (socket.bytesAvailable() == 0 && !socket.waitForReadyRead(int(deadline.remainingTime()))) return false;
        const qint64 got = socket.read(into, size);
        if (got < 0) return false;
        into += got;
        size -= got;
    }
    return true;
}

} // namespace

std::string SwayIpc::sessionSocket() {
    const char* path = std::getenv("SWAYSOCK");
    return path ? path : "";
}

namespace {

// Sends one message and returns the reply's payload; none on any failure.
std::optional<QByteArray> exchange(const std::string& socketPath, std::uint32_t type, std::string_view payload,
                                   int timeoutMs) {
    if (socketPath.empty()) return std::nullopt;
    const QDeadlineTimer deadline(timeoutMs);
    QLocalSocket socket;
    socket.connectToServer(QString::fromStdString(socketPath));
    if (!socket.waitForConnected(timeoutMs)) return std::nullopt;

    QByteArray message(magic, sizeof magic);
    const auto length = std::uint32_t(payload.size());
    message.append(reinterpret_cast<const char*>(&length), sizeof length);
    message.append(reinterpret_cast<const char*>(&type), sizeof type);
    message.append(payload.data(), qsizetype(payload.size()));
    socket.write(message);
    if (!socket.waitForBytesWritten(int(deadline.remainingTime())) && socket.bytesToWrite() > 0) return std::nullopt;

    char header[headerSize];
    if (!readExactly(socket, header, headerSize, deadline) || std::memcmp(header, magic, sizeof magic) != 0)
        return std::nullopt;
    std::uint32_t replyLength = 0, replyType = 0;
    std::memcpy(&replyLength, header + sizeof magic, sizeof replyLength);
    std::memcpy(&replyType, header + sizeof magic + sizeof replyLength, sizeof replyType);
    if (replyType != type || replyLength > maxReplyBytes) return std::nullopt;
    QByteArray reply(qsizetype(replyLength), '\0');
    if (!readExactly(socket, reply.data(), replyLength, deadline)) return std::nullopt;
    return reply;
}

// The app_id (or X11 class) of the first window of `pid` under `node`, depth first.
std::string appIdIn(const QJsonObject& node, std::int32_t pid, int depth) {
    if (depth > 64) return {};
    if (node.value(QStringLiteral("pid")).toInteger(-1) == pid) {
        const QJsonValue appId = node.value(QStringLiteral("app_id"));
        if (appId.isString() && !appId.toString().isEmpty()) return appId.toString().toStdString();
        const QJsonValue wmClass = node.value(QStringLiteral("window_properties")).toObject().value(QStringLiteral("class"));
        if (wmClass.isString() && !wmClass.toString().isEmpty()) return wmClass.toString().toStdString();
    }
    for (const auto* children : {"nodes", "floating_nodes"})
        for (const QJsonValue& child : node.value(QLatin1String(children)).toArray())
            if (auto found = appIdIn(child.toObject(), pid, depth + 1); !found.empty()) return found;
    return {};
}

} // namespace

bool SwayIpc::runCommand(const std::string& socketPath, std::string_view command, int timeoutMs) {
    const auto reply = exchange(socketPath, runCommandType, command, timeoutMs);
    if (!reply) return false;
    // One result per command: [{"success": true}, ...].
    const QJsonDocument results = QJsonDocument::fromJson(*reply);
    if (!results.isArray() || results.array().isEmpty()) return false;
    for (const QJsonValue& result : results.array())
        if (!result.toObject().value(QStringLiteral("success")).toBool()) return false;
    return true;
}

std::string SwayIpc::appId(const std::string& socketPath, std::int32_t pid, int timeoutMs) {
    if (pid <= 0) return {};
    const auto reply = exchange(socketPath, getTreeType, {}, timeoutMs);
    if (!reply) return {};
    return appIdIn(QJsonDocument::fromJson(*reply).object(), pid, 0);
}

} // namespace tavlin::platform
