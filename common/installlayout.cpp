// SPDX-FileCopyrightText: 2026 The Quillery developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "common/installlayout.h"

#include "roster/rosterfile.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

QString rosterLocation(const QString &programDirectory)
{
    const QDir program(programDirectory);
    const QString beside = program.filePath(RosterFileName.toString());
    if (QFileInfo(beside).isFile())
        return beside;
    const QString shared = QDir::cleanPath(program.filePath(QStringLiteral("../share/quillery/") + RosterFileName.toString()));
    if (QFileInfo(shared).isFile())
        return shared;
    return beside;
}

QString listFileDirectory(const QString &programDirectory, const QString &rosterPath)
{
    if (QFileInfo(rosterPath).absoluteDir() == QDir(programDirectory))
        return programDirectory;
    QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    if (documents.isEmpty())
        documents = QDir::homePath();
    // A failure here shows up as the save's own error, which names the path.
    QDir().mkpath(documents);
    return documents;
}
