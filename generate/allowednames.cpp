// SPDX-FileCopyrightText: 2026 The Quillery developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "allowednames.h"

#include "base/mainstate.h"
#include "base/numeric.h"
#include "generator.h"
#include "randomsource.h"

#include <algorithm>
#include <bit>
#include <cstring>
#include <optional>
#include <utility>

namespace {

// Redrawing has stopped paying when this many draws in a row give excluded
// names; from there on each name is picked exactly among the allowed ones.
constexpr int RedrawLimit = 256;

// Ids of different names, in order of first appearance. An open-addressing
// table with a cheap hash of the UTF-16 units: names are short, and a general
// string hash costs more than the rest of the once-per-period work.
class NameIds
{
public:
    explicit NameIds(qsizetype expected)
    {
        size_t capacity = 64;
        while (capacity < size_t(expected) * 2)
            capacity *= 2;
        m_slots.assign(capacity, -1);
        m_shift = 64 - std::countr_zero(capacity);
    }

    // The id of name, or -1.
    qint32 find(QStringView name) const
    {
        const size_t mask = m_slots.size() - 1;
        for (size_t slot = slotOf(name);; slot = (slot + 1) & mask) {
            const qint32 id = m_slots[slot];
            if (id < 0 || m_names[size_t(id)] == name)
                return id;
        }
    }

    // The id of name, given the next free id when it is new.
    qint32 insert(QStringView name)
    {
        if (m_names.size() * 2 >= m_slots.size())
            grow();
        const size_t mask = m_slots.size() - 1;
        for (size_t slot = slotOf(name);; slot = (slot + 1) & mask) {
            qint32 &id = m_slots[slot];
            if (id < 0) {
                id = qint32(m_names.size());
                m_names.push_back(name);
                return id;
            }
            if (m_names[size_t(id)] == name)
                return id;
        }
    }

    qsizetype size() const { return qsizetype(m_names.size()); }

private:
    size_t slotOf(QStringView name) const
    {
        quint64 hash = quint64(name.size());
        for (QChar unit : name)
            hash = (hash ^ unit.unicode()) * 0x100000001B3ull;
        return size_t((hash * 0x9E3779B97F4A7C15ull) >> m_shift);
    }

    void grow()
    {
        m_slots.assign(m_slots.size() * 2, -1);
        m_shift -= 1;
        const size_t mask = m_slots.size() - 1;
        for (size_t id = 0; id < m_names.size(); ++id) {
            size_t slot = slotOf(m_names[id]);
            while (m_slots[slot] >= 0)
                slot = (slot + 1) & mask;
            m_slots[slot] = qint32(id);
        }
    }

    std::vector<qint32> m_slots; // an id, or -1 for an empty place
    std::vector<QStringView> m_names;
    int m_shift = 64;
};

bool sharesText(const QString &a, const QString &b)
{
    return a.constData() == b.constData() && a.size() == b.size();
}

// Gives every different non-placeholder name an id in order of first
// appearance, counts its entries, and returns the id of each entry.
std::vector<qint32> nameIds(const std::vector<QString> &pool, qint16 count, NameIds &ids,
                            std::vector<QString> &names, std::vector<quint64> &weights)
{
    std::vector<qint32> entryIds(size_t(count), -1);
    for (qint16 k = 0; k < count; ++k) {
        const QString &name = pool[size_t(k)];
        if (isPlaceholder(name))
            continue;
        const qint32 id = ids.insert(name);
        if (size_t(id) == names.size()) {
            names.push_back(name);
            weights.push_back(0);
        }
        entryIds[size_t(k)] = id;
        ++weights[size_t(id)];
    }
    return entryIds;
}

// Ids of the names by their UTF-8 text, for the names a file lists. Files
// hold many thousands of names: the hash takes eight bytes at a time, each
// place keeps a tag of the hash beside the id so that a name is compared only
// when the tags match, and the texts lie together in one array.
class Utf8Table
{
public:
    explicit Utf8Table(const std::vector<QString> &names)
    {
        size_t capacity = 64;
        while (capacity < names.size() * 2)
            capacity *= 2;
        m_slots.assign(capacity, Slot{-1, 0});
        m_shift = 64 - std::countr_zero(capacity);
        m_starts.reserve(names.size() + 1);
        const size_t mask = capacity - 1;
        for (const QString &name : names) {
            m_starts.push_back(m_text.size());
            m_text += name.toUtf8();
            const QByteArrayView text(m_text.constData() + m_starts.back(), m_text.size() - m_starts.back());
            const quint64 hash = hashOf(text);
            size_t slot = size_t(hash >> m_shift);
            while (m_slots[slot].id >= 0)
                slot = (slot + 1) & mask;
            m_slots[slot] = {qint32(m_starts.size() - 1), quint32(hash)};
        }
        m_starts.push_back(m_text.size());
    }

    // The id of the name, or -1.
    qint32 find(QByteArrayView name) const
    {
        const quint64 hash = hashOf(name);
        const quint32 tag = quint32(hash);
        const size_t mask = m_slots.size() - 1;
        for (size_t slot = size_t(hash >> m_shift);; slot = (slot + 1) & mask) {
            const Slot &place = m_slots[slot];
            if (place.id < 0)
                return -1;
            if (place.tag != tag)
                continue;
            const qsizetype start = m_starts[size_t(place.id)];
            const qsizetype size = m_starts[size_t(place.id) + 1] - start;
            if (size == name.size() && std::memcmp(m_text.constData() + start, name.data(), size_t(size)) == 0)
                return place.id;
        }
    }

private:
    struct Slot {
        qint32 id; // -1 for an empty place
        quint32 tag; // the low half of the name's hash
    };

    static quint64 hashOf(QByteArrayView name)
    {
        const char *bytes = name.data();
        qsizetype left = name.size();
        quint64 hash = quint64(left) * 0x9E3779B97F4A7C15ull;
        for (; left >= 8; bytes += 8, left -= 8) {
            quint64 word;
            std::memcpy(&word, bytes, 8);
            hash = (hash ^ word) * 0xBF58476D1CE4E5B9ull;
            hash ^= hash >> 31;
        }
        quint64 word = 0;
        std::memcpy(&word, bytes, size_t(left));
        hash = (hash ^ word) * 0x94D049BB133111EBull;
        return hash ^ (hash >> 29);
    }

    std::vector<Slot> m_slots;
    QByteArray m_text; // every name, one after the other
    std::vector<qsizetype> m_starts; // by id: where its text starts; one more for the end
    int m_shift = 64;
};

} // namespace

struct AllowedNames::Utf8Ids {
    Utf8Table first;
    Utf8Table last;
};

const AllowedNames::Utf8Ids &AllowedNames::utf8Ids() const
{
    if (!m_utf8Ids)
        m_utf8Ids = std::make_shared<const Utf8Ids>(Utf8Ids{Utf8Table(m_firstNames), Utf8Table(m_lastNames)});
    return *m_utf8Ids;
}

TakenNames::TakenNames(const AllowedNames &names, QString where)
    : m_names(names), m_where(std::move(where)), m_rowLastWeight(names.m_firstNames.size(), 0)
{
}

void TakenNames::add(const Utf8Name &name)
{
    if (!m_ids)
        m_ids = &m_names.utf8Ids();
    const qint32 first = m_ids->first.find(name.first);
    if (first < 0)
        return;
    const qint32 last = m_ids->last.find(name.last);
    if (last < 0)
        return;
    const quint32 key = quint32(first) * quint32(m_names.m_lastNames.size()) + quint32(last);
    if (m_names.m_real.contains(key) || !m_keys.insert(key))
        return;
    m_weight += m_names.m_firstWeight[size_t(first)] * m_names.m_lastWeight[size_t(last)];
    m_rowLastWeight[size_t(first)] += m_names.m_lastWeight[size_t(last)];
}

void TakenNames::add(std::span<const Utf8Name> listed)
{
    for (const Utf8Name &name : listed)
        add(name);
}

void PairSet::reserve(qsizetype count)
{
    size_t capacity = 64;
    while (capacity < size_t(count) * 2)
        capacity *= 2;
    if (capacity > m_slots.size())
        rehash(capacity);
}

bool PairSet::insert(quint32 key)
{
    if (size_t(m_size + 1) * 2 > m_slots.size())
        rehash(std::max<size_t>(64, m_slots.size() * 2));
    const size_t mask = m_slots.size() - 1;
    for (size_t slot = slotOf(key);; slot = (slot + 1) & mask) {
        if (m_slots[slot] == key)
            return false;
        if (m_slots[slot] == Empty) {
            m_slots[slot] = key;
            ++m_size;
            return true;
        }
    }
}

void PairSet::rehash(size_t capacity)
{
    std::vector<quint32> old = std::move(m_slots);
    m_slots.assign(capacity, Empty);
    m_shift = 64 - std::countr_zero(capacity);
    m_size = 0;
    for (quint32 key : old) {
        if (key != Empty)
            insert(key);
    }
}

AllowedNames::AllowedNames(const MainState &state, NameRules rules)
    : m_rules(rules), m_poolCount(std::max<qint16>(state.PoolCount, 0))
{
    static quint64 made = 0;
    m_serial = ++made;
    NameIds firstIds(m_poolCount), lastIds(m_poolCount);
    m_entryFirst = nameIds(state.PoolFirst, m_poolCount, firstIds, m_firstNames, m_firstWeight);
    m_entryLast = nameIds(state.PoolLast, m_poolCount, lastIds, m_lastNames, m_lastWeight);
    for (quint64 weight : m_firstWeight)
        m_firstTotal += weight;
    for (quint64 weight : m_lastWeight)
        m_lastTotal += weight;
    m_realRowLastWeight.assign(m_firstNames.size(), 0);
    if (!rules.fictional || m_firstNames.empty() || m_lastNames.empty())
        return;

    // The pools hold the period's records in file order, as copies that share
    // the store's text; a record whose names are the next entry's own needs
    // no look-up.
    const quint32 lastCount = quint32(m_lastNames.size());
    m_real.reserve(state.NameCount);
    qint16 entry = 0;
    for (int i = 0; i < state.NameCount; ++i) {
        const QString &firstName = state.FirstNames[size_t(i)];
        const QString &lastName = state.LastNames[size_t(i)];
        qint32 first, last;
        if (entry < m_poolCount && sharesText(state.PoolFirst[size_t(entry)], firstName)
            && sharesText(state.PoolLast[size_t(entry)], lastName)) {
            first = m_entryFirst[size_t(entry)];
            last = m_entryLast[size_t(entry)];
            ++entry;
        } else {
            first = firstIds.find(firstName);
            last = first < 0 ? -1 : lastIds.find(lastName);
        }
        if (first < 0 || last < 0 || !m_real.insert(quint32(first) * lastCount + quint32(last)))
            continue;
        m_realWeight += m_firstWeight[size_t(first)] * m_lastWeight[size_t(last)];
        m_realRowLastWeight[size_t(first)] += m_lastWeight[size_t(last)];
    }
}

quint64 AllowedNames::possibleNames() const
{
    return quint64(m_firstNames.size()) * quint64(m_lastNames.size()) - quint64(m_real.size());
}

QString AllowedNames::limitProblem(qint16 count, const MainState &state) const
{
    const QString players = QStringLiteral("the players between %1 and %2").arg(state.PoolStartText, state.PoolEndText);
    const quint64 possible = possibleNames();
    if (possible == 0 && m_real.size() == 1)
        return QStringLiteral("The only name that can be made from %1 is a real player's name.").arg(players);
    if (possible == 0) {
        return QStringLiteral("All %1 names that can be made from %2 are real players' names.")
                .arg(QString::number(m_real.size()), players);
    }
    if (m_rules.unique && quint64(count) > possible) {
        // One substitution for all four, so that a year text holding "%4"
        // stays as it is.
        return QStringLiteral("Only %1 different %2 can be made from %3; %4 were asked for.")
                .arg(QString::number(possible), possible == 1 ? QStringLiteral("name") : QStringLiteral("names"),
                     players, QString::number(count));
    }
    return {};
}

// One generation's draws under the rules. Draws by redrawing the whole name
// while redraws pay, then exactly by weight: a uniform number below the
// summed weight of the allowed names walks the first names' rows, then the
// last names of the chosen row. Switching after a fixed number of failed
// redraws keeps each name's chances exactly those of redrawing alone.
class AllowedDraw
{
public:
    AllowedDraw(const AllowedNames &names, const TakenNames *taken, RandomSource &random, qint16 count)
        : m_names(names), m_taken(taken), m_random(random)
    {
        if (names.m_rules.unique)
            m_drawn.reserve(count);
    }

    // The ids of the next name; it is remembered under the unique rule.
    std::pair<qint32, qint32> next()
    {
        std::optional<std::pair<qint32, qint32>> name;
        if (!m_exact)
            name = drawByRedrawing();
        if (!name) {
            if (!m_exact)
                startExact();
            name = drawExactly();
        }
        if (m_names.m_rules.unique)
            remember(name->first, name->second);
        return *name;
    }

private:
    quint32 keyOf(qint32 first, qint32 last) const
    {
        return quint32(first) * quint32(m_names.m_lastNames.size()) + quint32(last);
    }
    bool isExcluded(quint32 key) const
    {
        return m_names.m_real.contains(key) || m_drawn.contains(key) || (m_taken && m_taken->m_keys.contains(key));
    }
    quint64 totalWeight() const { return m_names.m_firstTotal * m_names.m_lastTotal; }
    quint64 allowedWeight() const
    {
        return totalWeight() - m_names.m_realWeight - m_drawnWeight - (m_taken ? m_taken->m_weight : 0);
    }

    qint32 drawId(const std::vector<qint32> &entryIds)
    {
        for (;;) {
            const qint32 id = entryIds[size_t(RandomNumber(m_names.m_poolCount, m_random) - 1)];
            if (id >= 0)
                return id;
        }
    }

    std::optional<std::pair<qint32, qint32>> drawByRedrawing()
    {
        for (int attempt = 0; attempt < RedrawLimit; ++attempt) {
            const qint32 first = drawId(m_names.m_entryFirst);
            const qint32 last = drawId(m_names.m_entryLast);
            if (!isExcluded(keyOf(first, last)))
                return std::pair(first, last);
        }
        return std::nullopt;
    }

    void startExact()
    {
        m_exact = true;
        m_rowLastWeight = m_names.m_realRowLastWeight;
        if (m_taken) {
            for (size_t first = 0; first < m_rowLastWeight.size(); ++first)
                m_rowLastWeight[first] += m_taken->m_rowLastWeight[first];
        }
        const quint32 lastCount = quint32(m_names.m_lastNames.size());
        for (quint32 key : m_drawn.table()) {
            if (key != PairSet::Empty)
                addExcluded(qint32(key / lastCount), qint32(key % lastCount));
        }
    }

    // Uniform in 0..bound-1, from two 24-bit draws; values above the largest
    // multiple of bound are drawn again, so that no number is favoured.
    quint64 uniformBelow(quint64 bound)
    {
        constexpr quint64 Range = quint64(1) << 48;
        const quint64 limit = Range - Range % bound;
        for (;;) {
            const quint64 high = quint64(m_random.next() * 16777216.0f);
            const quint64 low = quint64(m_random.next() * 16777216.0f);
            const quint64 value = high << 24 | low;
            if (value < limit)
                return value % bound;
        }
    }

    std::pair<qint32, qint32> drawExactly()
    {
        const auto &firstWeight = m_names.m_firstWeight;
        const auto &lastWeight = m_names.m_lastWeight;
        quint64 rest = uniformBelow(allowedWeight());
        qint32 first = 0;
        for (;; ++first) {
            const quint64 row = firstWeight[size_t(first)] * (m_names.m_lastTotal - m_rowLastWeight[size_t(first)]);
            if (rest < row)
                break;
            rest -= row;
        }
        // Within the row every name shares the first name's weight.
        rest /= firstWeight[size_t(first)];
        for (qint32 last = 0;; ++last) {
            if (isExcluded(keyOf(first, last)))
                continue;
            if (rest < lastWeight[size_t(last)])
                return {first, last};
            rest -= lastWeight[size_t(last)];
        }
    }

    void remember(qint32 first, qint32 last)
    {
        m_drawn.insert(keyOf(first, last));
        if (m_exact)
            addExcluded(first, last);
    }

    // The weights the exact draw keeps of the drawn names.
    void addExcluded(qint32 first, qint32 last)
    {
        m_drawnWeight += m_names.m_firstWeight[size_t(first)] * m_names.m_lastWeight[size_t(last)];
        m_rowLastWeight[size_t(first)] += m_names.m_lastWeight[size_t(last)];
    }

    const AllowedNames &m_names;
    const TakenNames *m_taken;
    RandomSource &m_random;
    PairSet m_drawn;
    quint64 m_drawnWeight = 0; // kept once drawing exactly
    bool m_exact = false;
    std::vector<quint64> m_rowLastWeight; // by first id: summed last-name weight of its excluded names
};

namespace {

// Why the taken names leave fewer than count names, or none; empty when they
// leave enough. left: the names they leave.
QString takenProblem(const AllowedNames &names, const TakenNames &taken, qint16 count, const MainState &state,
                     quint64 &left)
{
    const quint64 possible = names.possibleNames();
    left = possible - quint64(taken.size());
    if (taken.size() == 0 || (left > 0 && (!names.rules().unique || quint64(count) <= left)))
        return {};
    const QString players = QStringLiteral("the players between %1 and %2").arg(state.PoolStartText, state.PoolEndText);
    if (left == 0 && possible == 1)
        return QStringLiteral("The only name that can be made from %1 is already in %2.").arg(players, taken.where());
    if (left == 0) {
        return QStringLiteral("All %1 different names that can be made from %2 are already in %3.")
                .arg(QString::number(possible), players, taken.where());
    }
    // One substitution for all, so that a year text holding "%4" stays as it is.
    return QStringLiteral("Only %1 of the %2 different names that can be made from %3 %4 not already in %5; "
                          "%6 were asked for.")
            .arg(QString::number(left), QString::number(possible), players,
                 left == 1 ? QStringLiteral("is") : QStringLiteral("are"), taken.where(), QString::number(count));
}

} // namespace

Generation GenerateAllowedNames(MainState &state, const QString &countText, RandomSource &random,
                                const AllowedNames &names, Shortfall shortfall, const TakenNames *taken)
{
    Generation result;
    qint16 count = RequestedCount(countText);
    random.seed();
    result.countText = NumberText(count);

    result.problem = PoolProblem(state);
    // Names taken already come first: they may be why the period runs short.
    quint64 left = 0;
    if (result.problem.isEmpty() && taken && names.possibleNames() > 0)
        result.problem = takenProblem(names, *taken, count, state, left);
    if (!result.problem.isEmpty() && left > 0) {
        result.shortfall = std::exchange(result.problem, QString());
        count = qint16(left);
    } else if (result.problem.isEmpty()) {
        result.problem = names.limitProblem(count, state);
        if (shortfall == Shortfall::DrawAll && !result.problem.isEmpty()) {
            if (names.possibleNames() == 0) {
                result.picksKept = true;
                return result;
            }
            result.shortfall = std::exchange(result.problem, QString());
            count = qint16(names.possibleNames());
        }
    }
    if (!result.problem.isEmpty())
        count = 0;

    AllowedDraw draw(names, taken, random, count);
    StorePicks(state, count, [&draw, &names] {
        const auto [first, last] = draw.next();
        return std::pair<const QString &, const QString &>(names.firstName(first), names.lastName(last));
    });
    result.listText = ListText(state);
    return result;
}
