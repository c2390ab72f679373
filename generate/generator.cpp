#include "generator.h"

#include "common/mainstate.h"
#include "common/numeric.h"
#include "randomsource.h"

#include <algorithm>

namespace {

bool isPlaceholder(const QString &name)
{
    return name == PlaceholderName;
}

bool hasRealName(const std::vector<QString> &pool, qint16 count)
{
    return std::any_of(pool.begin(), pool.begin() + count, [](const QString &name) { return !isPlaceholder(name); });
}

QString drawName(const std::vector<QString> &pool, qint16 count, RandomSource &random)
{
    for (;;) {
        const QString &name = pool[size_t(RandomNumber(count, random) - 1)];
        if (!isPlaceholder(name))
            return name;
    }
}

QString emptyPoolProblem(const MainState &state)
{
    const QString period = QStringLiteral("%1 and %2").arg(state.PoolStartText, state.PoolEndText);
    if (state.PoolCount == 0)
        return QStringLiteral("No players between %1.").arg(period);
    if (!hasRealName(state.PoolFirst, state.PoolCount))
        return QStringLiteral("No player between %1 has a known first name.").arg(period);
    return QStringLiteral("No player between %1 has a known last name.").arg(period);
}

} // namespace

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
    if (state.PoolCount <= 0 || !hasRealName(state.PoolFirst, state.PoolCount)
        || !hasRealName(state.PoolLast, state.PoolCount)) {
        result.problem = emptyPoolProblem(state);
        count = 0;
    }

    state.NumNames = count;
    state.PickLast.assign(size_t(count) + 1, QString());
    state.PickFirst.assign(size_t(count) + 1, QString());
    for (qint16 i = 1; i <= count; ++i) {
        state.PickFirst[size_t(i)] = drawName(state.PoolFirst, state.PoolCount, random);
        state.PickLast[size_t(i)] = drawName(state.PoolLast, state.PoolCount, random);
    }

    qsizetype length = 0;
    for (qint16 i = 1; i <= count; ++i)
        length += state.PickFirst[size_t(i)].size() + state.PickLast[size_t(i)].size() + 3;
    result.listText.reserve(length);
    for (qint16 i = 1; i <= count; ++i) {
        result.listText += state.PickFirst[size_t(i)];
        result.listText += u' ';
        result.listText += state.PickLast[size_t(i)];
        result.listText += u"\r\n";
    }
    return result;
}
