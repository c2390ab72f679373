// SPDX-FileCopyrightText: 2026 The Quillery developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "base/installlayout.h"

#include "base/identity.h"
#include "platform/platformfile.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>
#include <QTemporaryFile>

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

namespace {

// Whether a new file can be made in the folder. Asked of the folder itself:
// permission bits and attributes don't tell, on Windows least of all, where
// the folder's access list decides.
bool acceptsNewFiles(const QString &directory)
{
    QTemporaryFile probe(QDir(directory).filePath(QStringLiteral(".quillery-XXXXXX")));
    return probe.open();
}

} // namespace

QString listFileFolder(const QString &programDirectory, const QString &rosterPath)
{
    if (QFileInfo(rosterPath).absoluteDir() == QDir(programDirectory)
        && (QFileInfo::exists(QDir(programDirectory).filePath(ListFileName.toString())) || acceptsNewFiles(programDirectory)))
        return programDirectory;
    QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    if (documents.isEmpty())
        documents = QDir::homePath();
    return QDir::cleanPath(documents);
}

CheckedPath listFileDirectory(const QString &programDirectory, const QString &rosterPath)
{
    const QString folder = listFileFolder(programDirectory, rosterPath);
    if (folder == programDirectory)
        return {programDirectory, {}};
    if (const QString reason = makeFolder(folder); !reason.isEmpty()) {
        return {{}, QStringLiteral("Cannot make the documents folder %1 for the list file: %2.")
                            .arg(QDir::toNativeSeparators(folder), reason)};
    }
    return {folder, {}};
}
