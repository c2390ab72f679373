// SPDX-FileCopyrightText: 2026 The Quillery developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QList>
#include <QMessageBox>
#include <QString>

class QWidget;

// Shows one of the program's message boxes: OK only, caption "Quillery". The
// busy pointer is lifted while the box waits for its answer. The box is centred
// on parent when parent is visible.
void showMessage(QWidget *parent, QMessageBox::Icon icon, const QString &text);

// While one lives, showMessage records each box here instead of showing it, so
// that tests never wait on a modal dialog.
class MessageRecorder
{
public:
    struct Message {
        QMessageBox::Icon icon;
        QString text;
        bool busyPointer; // whether the wait cursor was still up when it showed
    };

    MessageRecorder();
    ~MessageRecorder();
    Q_DISABLE_COPY_MOVE(MessageRecorder)

    QList<Message> messages;
};
