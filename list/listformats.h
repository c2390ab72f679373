// SPDX-FileCopyrightText: 2026 The Quillery developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QByteArray>
#include <QString>

struct Generation;
struct MainState;
class YearFields;

// The list in the forms the command prints besides the list file's block. All
// are UTF-8.

// One field of a CSV record: quoted when it holds a comma, a double quote, CR
// or LF, with the quotes inside doubled.
QString csvField(const QString &text);

// A "first,last" header, then one record per pick 1..NumNames; CR LF after each.
QByteArray csvText(const MainState &state);

// One line of JSON: the two year texts, the period's number of players and the
// picks as {"first", "last"} objects.
QByteArray jsonText(const MainState &state, const YearFields &fields);

// The list text with LF line ends.
QByteArray plainText(const Generation &generation);
