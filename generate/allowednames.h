// SPDX-FileCopyrightText: 2026 The Quillery developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

#include <memory>
#include <span>
#include <vector>

struct Generation;
struct MainState;
class RandomSource;

// Which names a generation must not give.
struct NameRules {
    bool fictional = false; // no real player's full name: the first and last name of any record, any year
    bool unique = false;    // no name twice in one list

    bool any() const { return fictional || unique; }
    friend bool operator==(const NameRules &, const NameRules &) = default;
};

// A set of name pairs, each the key first id * different last names + last id.
class PairSet
{
public:
    static constexpr quint32 Empty = 0xFFFFFFFF;

    void reserve(qsizetype count); // room for count keys without growing
    bool contains(quint32 key) const
    {
        if (m_slots.empty())
            return false;
        const size_t mask = m_slots.size() - 1;
        for (size_t slot = slotOf(key);; slot = (slot + 1) & mask) {
            if (m_slots[slot] == key)
                return true;
            if (m_slots[slot] == Empty)
                return false;
        }
    }
    bool insert(quint32 key); // false when the key was there already
    qsizetype size() const { return m_size; }
    // The table: Empty or a key in each place, in no particular order.
    const std::vector<quint32> &table() const { return m_slots; }

private:
    size_t slotOf(quint32 key) const { return size_t((quint64(key) * 0x9E3779B97F4A7C15ull) >> m_shift); }
    void rehash(size_t capacity);

    std::vector<quint32> m_slots;
    int m_shift = 64;
    qsizetype m_size = 0;
};

// The different names that the pools of the current period can make under the
// rules, with the chance the window's draw gives each: a first name weighs as
// many pool entries as hold it, a last name likewise, a name the product.
// The placeholder is no name. Built from the pools and, for the fictional
// rule, the whole record store: build it again after either changes.
class AllowedNames
{
public:
    AllowedNames(const MainState &state, NameRules rules);

    NameRules rules() const { return m_rules; }
    // Different for every AllowedNames made, the same for its copies.
    quint64 serial() const { return m_serial; }
    // Different first names times different last names, less the real
    // players' names among them under the fictional rule.
    quint64 possibleNames() const;
    // Why count names cannot be drawn under the rules; empty when they can.
    // Expects pools that can give a name at all (PoolProblem is empty).
    QString limitProblem(qint16 count, const MainState &state) const;
    const QString &firstName(qint32 id) const { return m_firstNames[size_t(id)]; }
    const QString &lastName(qint32 id) const { return m_lastNames[size_t(id)]; }

private:
    friend class AllowedDraw;
    friend class TakenNames;
    struct Utf8Ids;
    const Utf8Ids &utf8Ids() const;

    NameRules m_rules;
    quint64 m_serial;
    qint16 m_poolCount = 0;
    std::vector<qint32> m_entryFirst; // per pool entry: first name id, -1 for the placeholder
    std::vector<qint32> m_entryLast;  // per pool entry: last name id, -1 for the placeholder
    std::vector<QString> m_firstNames; // by id
    std::vector<QString> m_lastNames;  // by id
    std::vector<quint64> m_firstWeight; // by id: pool entries with that first name
    std::vector<quint64> m_lastWeight;  // by id: pool entries with that last name
    quint64 m_firstTotal = 0;
    quint64 m_lastTotal = 0;
    PairSet m_real;                    // real players' names among the possible ones
    quint64 m_realWeight = 0;          // their summed weight
    std::vector<quint64> m_realRowLastWeight; // by first id: summed last-name weight of its real names
    // The names as UTF-8, to find those a name file lists; made when first needed.
    mutable std::shared_ptr<const Utf8Ids> m_utf8Ids;
};

// A name as UTF-8 text, as a name file lists it; the bytes belong to the caller.
struct Utf8Name {
    QByteArrayView first;
    QByteArrayView last;
};

// The names that the pools can make and that are taken already, as a list
// file or another name file holds them: they are left out of a generation.
// Names of the file that the pools cannot make, and real players' names that
// the fictional rule leaves out anyway, are not counted.
class TakenNames
{
public:
    // where names the files for messages, as in "the list file /home/ann/RandomNames.txt".
    TakenNames(const AllowedNames &names, QString where);

    void add(const Utf8Name &name);
    void add(std::span<const Utf8Name> listed);
    // The different names taken.
    qsizetype size() const { return m_keys.size(); }
    const QString &where() const { return m_where; }

private:
    friend class AllowedDraw;

    const AllowedNames &m_names;
    const AllowedNames::Utf8Ids *m_ids = nullptr;
    QString m_where;
    PairSet m_keys;
    quint64 m_weight = 0; // their summed weight
    std::vector<quint64> m_rowLastWeight; // by first id: summed last-name weight of its taken names
};

// What to do when the unique rule allows fewer names than asked for.
enum class Shortfall {
    Refuse,  // draw nothing; problem says why
    DrawAll, // draw every allowed name; shortfall says how many there are
};

// Draws as GenerateNames does, each name's first name and then its last name,
// each again while it is the placeholder; a name the rules exclude is drawn
// again whole. Every allowed name keeps its chance relative to the others.
// When the pools cannot give a name at all, draws nothing and problem says
// why. When the rules leave no name, problem says so too; with DrawAll the
// earlier picks then stand (picksKept), otherwise they are dropped.
// Names in taken, when given, are left out too. When they leave fewer names
// than asked for under the unique rule, every name left is drawn and
// shortfall says how many, whatever shortfall asks for; when they leave none,
// nothing is drawn and problem says so.
Generation GenerateAllowedNames(MainState &state, const QString &countText, RandomSource &random,
                                const AllowedNames &names, Shortfall shortfall = Shortfall::Refuse,
                                const TakenNames *taken = nullptr);
