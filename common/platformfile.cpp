// SPDX-FileCopyrightText: 2026 The Quillery developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "common/platformfile.h"

#include <utility>

FileHandle::~FileHandle()
{
    if (isOpen())
        close();
}

FileHandle &FileHandle::operator=(FileHandle &&other) noexcept
{
    if (this != &other) {
        if (isOpen())
            close();
        m_native = other.release();
    }
    return *this;
}

FileHandle::Native FileHandle::release()
{
    return std::exchange(m_native, invalid());
}

QString systemErrorText(int code)
{
    return qt_error_string(code);
}

QString shortWriteReason(qsizetype written, qsizetype total, const QString &cause)
{
    if (cause.isEmpty())
        return QStringLiteral("only %1 of %2 bytes could be written").arg(QString::number(written), QString::number(total));
    return QStringLiteral("only %1 of %2 bytes could be written (%3)")
            .arg(QString::number(written), QString::number(total), cause);
}
