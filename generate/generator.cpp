// SPDX-FileCopyrightText: 2026 The Quillery developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "generator.h"

#include "base/mainstate.h"
#include "base/numeric.h"
#include "randomsource.h"

#include <algorithm>

bool isPlaceholder(const QString &name)
{
    // The cheap checks first keep the common case out of the library call.
    return name.size() == PlaceholderName.size() && name.front() == PlaceholderName.front() && name == PlaceholderName;
}

namespace {

bool hasRealName(const std::vector<QString> &pool, qint16 count)
{
    return std::any_of(pool.begin(), pool.begin() + count, [](const QString &name) { return !isPlaceholder(name); });
}

const QString &drawName(const std::vector<QString> &pool, qint16 count, RandomSource &random)
{
    for (;;) {
        const QString &name = pool[size_t(RandomNumber(count, random) - 1)];
        if (!isPlaceholder(name))
            return name;
    }
}

} // namespace

QString PoolProblem(const MainState &state)
{
    const auto period = [&state] { return QStringLiteral("%1 and %2").arg(state.PoolStartText, state.PoolEndText); };
    if (state.PoolCount <= 0)
        return QStringLiteral("No players between %1.").arg(period());
    if (!hasRealName(state.PoolFirst, state.PoolCount))
        return QStringLiteral("No player between %1 has a known first name.").arg(period());
    if (!hasRealName(state.PoolLast, state.PoolCount))
        return QStringLiteral("No player between %1 has a known last name.").arg(period());
    return {};
}

QString ListText(const MainState &state)
{
    qsizetype length = 0;
    for (qint16 i = 1; i <= state.NumNames; ++i)
        length += state.PickFirst[size_t(i)].size() + state.PickLast[size_t(i)].size() + 3;

    // One buffer of the final size, filled in place.
    QString text(length, Qt::Uninitialized);
    QChar *out = text.data();
    const auto put = [&out](const QString &name) { out = std::copy_n(name.constData(), name.size(), out); };
    for (qint16 i = 1; i <= state.NumNames; ++i) {
        put(state.PickFirst[size_t(i)]);
        *out++ = u' ';
        put(state.PickLast[size_t(i)]);
        *out++ = u'\r';
        *out++ = u'\n';
    }
    return text;
}

qint16 RequestedCount(const QString &countText)
{
    // Clamping the value before rounding keeps counts far outside the 16-bit
    // range, such as "1e9", from overflowing: they clamp like any other.
    const double value = std::clamp(NumericValue(countText), -32768.0, 32767.0);
    return std::clamp(*ToInteger16(value), MinNames, MaxNames);
}

Generation GenerateNames(MainState &state, const QString &countText, RandomSource &random)
{
    Generation result;
    qint16 count = RequestedCount(countText);
    random.seed();
    result.countText = NumberText(count);

    // Every draw must be able to end: a pool needs at least one real first name
    // and one real last name.
    result.problem = PoolProblem(state);
    if (!result.problem.isEmpty())
        count = 0;

    StorePicks(state, count, [&state, &random] {
        // The first name is drawn before the last, as the window always has.
        const QString &first = drawName(state.PoolFirst, state.PoolCount, random);
        const QString &last = drawName(state.PoolLast, state.PoolCount, random);
        return std::pair<const QString &, const QString &>(first, last);
    });

    result.listText = ListText(state);
    return result;
}
