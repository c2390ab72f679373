#!/usr/bin/env python3
# SPDX-FileCopyrightText: 2026 The Quillery developers
# SPDX-License-Identifier: GPL-3.0-or-later
"""Writes the roster Kordane.txt from the register's extract of major leaguers.

    python3 data/make_roster.py [--source CSV] [--output TXT]

One line per player, 'last,first,year', where the year is the first
major-league season (mlb_played_first). Lines end in CR LF; the file is UTF-8
without a byte-order mark. A missing name becomes the placeholder "Unknown",
and names are brought to Unicode's composed form (NFC), so that the same
accented name is the same text wherever it occurs.

The lines are ordered by last name, first name, year and then key_person,
each text compared code point by code point (Python's own string order, which
is also the order of the UTF-8 bytes). That order depends on no locale or
library version, so the same extract always gives the same file.

A name the roster format cannot hold (a comma, a line break or another
control character) or a year that no period can reach is not guessed at: the
script names every such row on stderr, writes nothing and exits with 1.
"""

import argparse
import csv
import os
import sys
import tempfile
import unicodedata

HERE = os.path.dirname(os.path.abspath(__file__))
DEFAULT_SOURCE = os.path.join(HERE, "mlb-players-2025-12-14.csv")
DEFAULT_OUTPUT = os.path.join(HERE, "Kordane.txt")

PLACEHOLDER = "Unknown"
# What the programs read: at most 32,767 players, lines of at most 1,000
# characters, years that a period of 1871..9999 can hold.
MAX_PLAYERS = 32767
MAX_LINE_LENGTH = 1000
FIRST_YEAR, LAST_YEAR = 1871, 9999
COLUMNS = ("key_person", "name_last", "name_first", "mlb_played_first")


def name_problem(name):
    """Why name cannot stand in a roster line, or None."""
    if name != name.strip():
        return "blanks around it"
    for char in name:
        # Cc holds the comma's fellow separators CR and LF and NUL; Zl and Zp
        # are the Unicode line and paragraph separators.
        if char == "," or unicodedata.category(char) in ("Cc", "Cf", "Zl", "Zp", "Cs", "Co", "Cn"):
            return "the character U+%04X" % ord(char)
    return None


def roster_rows(reader):
    """(last, first, year, key_person) for every row, and the problems found."""
    rows, problems = [], []
    for row in reader:
        where = "line %d (%s)" % (reader.line_num, row.get("key_person") or "no key")
        names = []
        for column in ("name_last", "name_first"):
            name = unicodedata.normalize("NFC", row[column] or "") or PLACEHOLDER
            problem = name_problem(name)
            if problem:
                problems.append("%s: %s %r has %s" % (where, column, name, problem))
            names.append(name)
        year_text = row["mlb_played_first"] or ""
        if not (year_text.isascii() and year_text.isdigit() and FIRST_YEAR <= int(year_text) <= LAST_YEAR):
            problems.append("%s: mlb_played_first %r is no year from %d to %d"
                            % (where, year_text, FIRST_YEAR, LAST_YEAR))
            continue
        line_length = len(names[0]) + len(names[1]) + len(year_text) + 2
        if line_length > MAX_LINE_LENGTH:
            problems.append("%s: the line would be %d characters long" % (where, line_length))
        rows.append((names[0], names[1], int(year_text), row["key_person"]))
    if len(rows) > MAX_PLAYERS:
        problems.append("%d players, more than the %d the programs hold" % (len(rows), MAX_PLAYERS))
    return rows, problems


def roster_bytes(rows):
    return "".join("%s,%s,%d\r\n" % row[:3] for row in sorted(rows)).encode("utf-8")


def write_atomically(path, data):
    """Replaces path with data in one step, so a failed run leaves the old file."""
    folder = os.path.dirname(os.path.abspath(path))
    handle, temporary = tempfile.mkstemp(dir=folder, prefix=".roster-")
    try:
        with os.fdopen(handle, "wb") as out:
            out.write(data)
        os.chmod(temporary, 0o644)
        os.replace(temporary, path)
    except BaseException:
        os.unlink(temporary)
        raise


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    parser.add_argument("--source", default=DEFAULT_SOURCE, help="the register's extract (CSV)")
    parser.add_argument("--output", default=DEFAULT_OUTPUT, help="the roster to write")
    options = parser.parse_args()

    try:
        with open(options.source, encoding="utf-8", newline="") as source:
            reader = csv.DictReader(source)
            missing = [column for column in COLUMNS if column not in (reader.fieldnames or [])]
            if missing:
                sys.exit("make_roster.py: %s lacks the columns %s" % (options.source, ", ".join(missing)))
            rows, problems = roster_rows(reader)
    except (OSError, UnicodeDecodeError, csv.Error) as error:
        sys.exit("make_roster.py: cannot read %s: %s" % (options.source, error))
    if problems:
        for problem in problems:
            print("make_roster.py: %s: %s" % (options.source, problem), file=sys.stderr)
        sys.exit("make_roster.py: wrote nothing; mend the extract or teach this script the rows above")
    try:
        write_atomically(options.output, roster_bytes(rows))
    except OSError as error:
        sys.exit("make_roster.py: cannot write %s: %s" % (options.output, error))
    placeholders = sum(row[1] == PLACEHOLDER for row in rows)
    print("%s: %d players, %d of them with the placeholder first name %s"
          % (options.output, len(rows), placeholders, PLACEHOLDER))


if __name__ == "__main__":
    main()
