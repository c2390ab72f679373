// SPDX-FileCopyrightText: 2026 The Quillery developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QDialog>

#include <array>

class QLabel;
class QPushButton;

// The help window: four numbered steps, the version line and two credit
// lines, closed by its only button. Holds no state; each showing is a fresh
// window (see showHelp).
//
// Controls carry their control names as object names: "Label2", "cmdClose",
// and "Label1_0" .. "Label1_5" for the members of the control array Label1.
class frmHelp : public QDialog
{
    Q_OBJECT

public:
    static constexpr int Label1Count = 6;

    explicit frmHelp(QWidget *parent = nullptr);

private slots:
    void cmdClose_Click();

private:
    void createControls();
    void createConnections();

    QLabel *Label2 = nullptr;
    std::array<QLabel *, Label1Count> Label1{};
    QPushButton *cmdClose = nullptr;
};

// Shows a freshly created help window modally over parent, with parent's
// icon, and returns when it has been closed; the window is destroyed before
// returning.
void showHelp(QWidget *parent);
