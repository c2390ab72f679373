// SPDX-FileCopyrightText: 2026 The Quillery developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "list/listfile.h"

#include "base/identity.h"
#include "base/linebreaks.h"
#include "base/mainstate.h"
#include "platform/platformfile.h"

#include <QDir>
#include <QFile>

#include <algorithm>

namespace {

QString failure(const QString &path, const QString &reason)
{
    return QStringLiteral("Cannot write the list file %1: %2.").arg(QDir::toNativeSeparators(path), reason);
}

} // namespace

QString listFilePath(const QString &directory)
{
    return QDir(directory).filePath(ListFileName.toString());
}

QByteArray listBlock(const QString &startText, const QString &endText, const MainState &state)
{
    const qsizetype stored = std::min(state.PickLast.size(), state.PickFirst.size());
    const qsizetype last = std::min<qsizetype>(state.NumNames, stored - 1);

    const QLatin1StringView lineEnd("\r\n");
    QString text = lineBreaksAsBlanks(startText) + QLatin1StringView(" , ") + lineBreaksAsBlanks(endText) + lineEnd;
    for (qsizetype i = 1; i <= last; ++i)
        text += state.PickLast[size_t(i)] + u',' + state.PickFirst[size_t(i)] + lineEnd;
    text += lineEnd;
    text += lineEnd;
    return text.toUtf8();
}

ListFileReport appendListBlock(const QString &path, QByteArrayView block, const std::function<void()> &waiting)
{
    const AppendResult result = appendLocked(path, block, waiting);
    if (result.appended())
        return {};
    QString message = failure(path, result.reason);
    if (!result.restoreFailure.isEmpty())
        message += QStringLiteral(" Its earlier length could not be restored: %1.").arg(result.restoreFailure);
    return {message};
}
