// SPDX-FileCopyrightText: 2026 The Quillery developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "common/standardstreams.h"

#include <cerrno>
#include <cstring>

#ifndef Q_OS_WIN
#include <fcntl.h>
#include <unistd.h>
#endif

bool reserveStandardDescriptors()
{
    bool outputOpen = true;
#ifndef Q_OS_WIN
    for (int fd = 0; fd <= 2; ++fd) {
        if (::fcntl(fd, F_GETFD) != -1 || errno != EBADF)
            continue;
        if (fd == 1)
            outputOpen = false;
        // The lowest free number is fd itself: every one below it is open by now.
        const int null = ::open("/dev/null", fd == 0 ? O_RDONLY : O_WRONLY);
        if (null >= 0 && null != fd)
            ::close(null);
    }
#endif
    return outputOpen;
}

QString writeAndFlush(FILE *stream, const QByteArray &bytes)
{
    errno = 0;
    const size_t written = std::fwrite(bytes.constData(), 1, size_t(bytes.size()), stream);
    if (std::fflush(stream) == 0 && !std::ferror(stream) && written == size_t(bytes.size()))
        return {};
    return errno != 0 ? QString::fromLocal8Bit(std::strerror(errno)) : QStringLiteral("write error");
}
