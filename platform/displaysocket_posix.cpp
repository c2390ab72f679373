// SPDX-FileCopyrightText: 2026 The Quillery developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "displaysocket.h"

#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <cerrno>
#include <cstddef>
#include <cstring>

QString displaySocketRefusal(const QByteArray &path, bool abstractName)
{
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    const qsizetype offset = abstractName ? 1 : 0;
    if (path.isEmpty() || path.size() + offset >= qsizetype(sizeof address.sun_path))
        return QString::fromLocal8Bit(std::strerror(ENAMETOOLONG));
    std::memcpy(address.sun_path + offset, path.constData(), size_t(path.size()));
    const auto length = socklen_t(offsetof(sockaddr_un, sun_path) + size_t(offset + path.size()) + (abstractName ? 0 : 1));

    // Non-blocking, so that a server that accepts nobody cannot hold up the start.
    const int descriptor = ::socket(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    if (descriptor < 0)
        return QString::fromLocal8Bit(std::strerror(errno));
    int result;
    do {
        result = ::connect(descriptor, reinterpret_cast<const sockaddr *>(&address), length);
    } while (result != 0 && errno == EINTR);
    const int error = result == 0 || errno == EAGAIN || errno == EINPROGRESS ? 0 : errno;
    ::close(descriptor);
    return error == 0 ? QString() : QString::fromLocal8Bit(std::strerror(error));
}
