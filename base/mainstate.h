// SPDX-FileCopyrightText: 2026 The Quillery developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QString>

#include <vector>

// Slots of the record store: indices 0..32766, as many as the 16-bit NameCount
// can count.
inline constexpr int StoreSlots = 32767;

// The placeholder for a missing name; it is kept in the store and the pools but
// never output.
inline constexpr QStringView PlaceholderName = u"Unknown";

// All state of the main window: the record store, the name pools of the
// current period and the names of the last generation.
struct MainState {
    qint16 NameCount = 0;       // records loaded, at indices 0..NameCount-1
    QString DataFilePath;       // full path of the roster file
    std::vector<QString> LastNames = std::vector<QString>(StoreSlots);
    std::vector<QString> FirstNames = std::vector<QString>(StoreSlots);
    std::vector<qint16> Years = std::vector<qint16>(StoreSlots); // 0: the line gives no year
    std::vector<QString> PoolLast;  // NameCount+1 slots once loaded
    std::vector<QString> PoolFirst; // NameCount+1 slots once loaded
    qint16 PoolCount = 0;           // pool entries filled, at indices 0..PoolCount-1
    std::vector<QString> PickLast;  // names at 1..NumNames; slot 0 stays empty
    std::vector<QString> PickFirst; // names at 1..NumNames; slot 0 stays empty
    qint16 NumNames = 0;            // names in the last generation

    // The year texts the pools were last built from, for reports about them.
    QString PoolStartText;
    QString PoolEndText;

    // The decoded roster. The names of the store, the pools and the picks
    // point into it instead of owning copies, so it is never changed while
    // they live; a new load first drops them all. A copy of the whole object
    // shares this text and so keeps it alive; a name handed out on its own
    // must be copied (as the list text and the list file are).
    QString RosterText;
};
