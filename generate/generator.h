// SPDX-FileCopyrightText: 2026 The Quillery developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "base/mainstate.h"

#include <QString>

#include <utility>

class RandomSource;

inline constexpr qint16 MinNames = 1;
inline constexpr qint16 MaxNames = 1000;

struct Generation {
    QString countText; // the clamped count, to be written back into the count field
    QString listText;  // one "First Last" line per name, each ending in CR LF
    QString problem;   // why nothing could be drawn; empty on success
    QString shortfall; // why fewer names were drawn than asked for; empty when all were
    bool picksKept = false; // nothing was drawn and the earlier picks stand
};

// Whether a name is the placeholder for a missing one, which is never output.
bool isPlaceholder(const QString &name);

// The count that a count text asks for: rounded, halves to even, and clamped
// to 1..1000, whatever the text's size.
qint16 RequestedCount(const QString &countText);

// Why the pools cannot give a single name (no players, or no real first or
// last name among them); empty when they can.
QString PoolProblem(const MainState &state);

// Replaces the picks with count names, each the pair of first and last name
// that one call of nextName() gives.
template <typename NextName>
void StorePicks(MainState &state, qint16 count, NextName nextName)
{
    // Copy-constructing the picks in place is cheaper than assigning to
    // empty slots.
    std::vector<QString> firsts, lasts;
    firsts.reserve(size_t(count) + 1);
    lasts.reserve(size_t(count) + 1);
    firsts.emplace_back();
    lasts.emplace_back();
    for (qint16 i = 1; i <= count; ++i) {
        const auto [first, last] = nextName();
        firsts.push_back(first);
        lasts.push_back(last);
    }
    state.NumNames = count;
    state.PickFirst = std::move(firsts);
    state.PickLast = std::move(lasts);
}

// The list text of the picks 1..NumNames: "First Last" and CR LF per name.
QString ListText(const MainState &state);

// Draws the requested number of names from the pools: for each, a first name
// and then a last name, each drawn again while it is the placeholder. Replaces
// the picks. When the pools cannot give a name, draws nothing: NumNames is 0,
// the list is empty and problem says why.
Generation GenerateNames(MainState &state, const QString &countText, RandomSource &random);
