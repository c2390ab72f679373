// SPDX-FileCopyrightText: 2026 The Quillery developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "list/listformats.h"

#include "base/mainstate.h"
#include "generate/generator.h"
#include "roster/period.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

QString csvField(const QString &text)
{
    if (!text.contains(u',') && !text.contains(u'"') && !text.contains(u'\r') && !text.contains(u'\n'))
        return text;
    QString quoted = text;
    quoted.replace(u'"', QStringLiteral("\"\""));
    return u'"' + quoted + u'"';
}

QByteArray csvText(const MainState &state)
{
    QString text = QStringLiteral("first,last\r\n");
    for (qint16 i = 1; i <= state.NumNames; ++i)
        text += csvField(state.PickFirst[size_t(i)]) + u',' + csvField(state.PickLast[size_t(i)]) + QStringLiteral("\r\n");
    return text.toUtf8();
}

QByteArray jsonText(const MainState &state, const YearFields &fields)
{
    QJsonArray names;
    for (qint16 i = 1; i <= state.NumNames; ++i)
        names.append(QJsonObject{{QStringLiteral("first"), state.PickFirst[size_t(i)]},
                                 {QStringLiteral("last"), state.PickLast[size_t(i)]}});
    const QJsonObject document{{QStringLiteral("from"), fields.startText()},
                               {QStringLiteral("to"), fields.endText()},
                               {QStringLiteral("players"), state.PoolCount},
                               {QStringLiteral("names"), names}};
    return QJsonDocument(document).toJson(QJsonDocument::Compact) + '\n';
}

QByteArray plainText(const Generation &generation)
{
    QString list = generation.listText;
    list.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    return list.toUtf8();
}
