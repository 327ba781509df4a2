#include "platform/linux/SwayIpc.h"

#include <QDeadlineTimer>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLocalSocket>

#include <cstdint>
#include <cstdlib>
#include <cstring>

namespace tavlin::platform {
namespace {

// A message is the magic, the payload's length and the message type (native byte
// order), then the payload.
constexpr char magic[] = {'i', '3', '-', 'i', 'p', 'c'};
constexpr std::size_t headerSize = sizeof magic + 2 * sizeof(std::uint32_t);
constexpr std::uint32_t runCommandType = 0;
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

bool SwayIpc::runCommand(const std::string& socketPath, std::string_view command, int timeoutMs) {
    if (socketPath.empty()) return false;
    const QDeadlineTimer deadline(timeoutMs);
    QLocalSocket socket;
    socket.connectToServer(QString::fromStdString(socketPath));
    if (!socket.waitForConnected(timeoutMs)) return false;

    QByteArray message(magic, sizeof magic);
    const auto length = std::uint32_t(command.size());
    message.append(reinterpret_cast<const char*>(&length), sizeof length);
    message.append(reinterpret_cast<const char*>(&runCommandType), sizeof runCommandType);
    message.append(command.data(), qsizetype(command.size()));
    socket.write(message);
    if (!socket.waitForBytesWritten(int(deadline.remainingTime())) && socket.bytesToWrite() > 0) return false;

    char header[headerSize];
    if (!readExactly(socket, header, headerSize, deadline) || std::memcmp(header, magic, sizeof magic) != 0)
        return false;
    std::uint32_t replyLength = 0, replyType = 0;
    std::memcpy(&replyLength, header + sizeof magic, sizeof replyLength);
    std::memcpy(&replyType, header + sizeof magic + sizeof replyLength, sizeof replyType);
    if (replyType != runCommandType || replyLength > maxReplyBytes) return false;
    QByteArray reply(qsizetype(replyLength), '\0');
    if (!readExactly(socket, reply.data(), replyLength, deadline)) return false;

    // One result per command: [{"success": true}, ...].
    const QJsonDocument results = QJsonDocument::fromJson(reply);
    if (!results.isArray() || results.array().isEmpty()) return false;
    for (const QJsonValue& result : results.array())
        if (!result.toObject().value(QStringLiteral("success")).toBool()) return false;
    return true;
}

} // namespace tavlin::platform
