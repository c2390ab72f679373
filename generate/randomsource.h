// SPDX-FileCopyrightText: 2026 The Quillery developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QtGlobal>

#include <random>

// Where the draws come from. seed() runs at the start of every generation;
// next() gives the next value, uniform in [0, 1) in single precision.
class RandomSource
{
public:
    virtual ~RandomSource() = default;
    virtual void seed() = 0;
    virtual float next() = 0;
};

// A Mersenne Twister whose values are the same on every platform and build
// for the same seed: the top 24 bits of each 32-bit output, scaled to [0, 1).
class TwisterRandom : public RandomSource
{
public:
    float next() override;

protected:
    void seedWith(quint64 seed);
    // The engine's own 32-bit seeding: a few times cheaper than a seed
    // sequence, for seeds that nobody needs to reproduce.
    void seedQuickly(quint32 seed) { m_engine.seed(seed); }

private:
    std::mt19937 m_engine;
};

// Reseeds from a high-resolution clock on every generation, so that two
// generations within the same second still differ.
class ClockRandom final : public TwisterRandom
{
public:
    void seed() override;
};

// Restarts from one fixed seed on every generation: reproducible output.
class FixedSeedRandom final : public TwisterRandom
{
public:
    explicit FixedSeedRandom(quint64 seed) : m_seed(seed) { }
    void seed() override { seedWith(m_seed); }

private:
    quint64 m_seed;
};

// Largest integer not above maxNum * r + 1, computed in double so that even the
// largest r below 1 stays within 1..maxNum. Gives 1 for maxNum 0.
inline qint16 RandomNumber(qint16 maxNum, RandomSource &random)
{
    // Truncation, corrected below zero, is the floor here; it spares the
    // library call in the innermost loop of every generation.
    const double value = double(maxNum) * double(random.next()) + 1.0;
    const int truncated = int(value);
    return qint16(double(truncated) > value ? truncated - 1 : truncated);
}
