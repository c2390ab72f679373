// SPDX-FileCopyrightText: 2026 The Quillery developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QValidator>

// Keeps a one-line field free of line breaks (CR, LF, U+2028, U+2029): of
// text that comes in with one, by paste, drop or setText, only what stands
// before the first line break is kept, and the rest of the field stays.
class FirstLineValidator final : public QValidator
{
    Q_OBJECT

public:
    explicit FirstLineValidator(QObject *parent = nullptr);

    State validate(QString &input, int &pos) const override;
};
