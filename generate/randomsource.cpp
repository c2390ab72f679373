// SPDX-FileCopyrightText: 2026 The Quillery developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "randomsource.h"

#include <chrono>

float TwisterRandom::next()
{
    return float(m_engine() >> 8) * (1.0f / 16777216.0f);
}

void TwisterRandom::seedWith(quint64 seed)
{
    std::seed_seq sequence{quint32(seed), quint32(seed >> 32)};
    m_engine.seed(sequence);
}

void ClockRandom::seed()
{
    const auto now = std::chrono::high_resolution_clock::now().time_since_epoch();
    const auto nanoseconds = quint64(std::chrono::duration_cast<std::chrono::nanoseconds>(now).count());
    // Folding keeps the fast-changing low bits and the slower high ones.
    seedQuickly(quint32(nanoseconds ^ (nanoseconds >> 32)));
}
