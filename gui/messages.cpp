// SPDX-FileCopyrightText: 2026 The Quillery developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "messages.h"

#include "base/identity.h"

#include <QGuiApplication>

namespace {

MessageRecorder *recorder = nullptr;

// Takes every busy pointer down for the life of a box and puts them back after.
class PointerLift
{
public:
    PointerLift()
    {
        while (QGuiApplication::overrideCursor()) {
            m_shapes.prepend(QGuiApplication::overrideCursor()->shape());
            QGuiApplication::restoreOverrideCursor();
        }
    }
    ~PointerLift()
    {
        for (Qt::CursorShape shape : m_shapes)
            QGuiApplication::setOverrideCursor(shape);
    }
    Q_DISABLE_COPY_MOVE(PointerLift)

private:
    QList<Qt::CursorShape> m_shapes;
};

} // namespace

MessageRecorder::MessageRecorder()
{
    recorder = this;
}

MessageRecorder::~MessageRecorder()
{
    recorder = nullptr;
}

void showMessage(QWidget *parent, QMessageBox::Icon icon, const QString &text)
{
    PointerLift lift;
    if (recorder) {
        recorder->messages.append({icon, text, QGuiApplication::overrideCursor() != nullptr});
        return;
    }
    QMessageBox box(icon, ApplicationTitle.toString(), text, QMessageBox::Ok,
                    parent && parent->isVisible() ? parent : nullptr);
    box.exec();
}
