// SPDX-FileCopyrightText: 2026 The Quillery developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "base/mainstate.h"
#include "generate/allowednames.h"
#include "list/namefile.h"
#include "lineedityearfields.h"

#include <QWidget>

#include <memory>
#include <optional>

class QAction;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class RandomSource;

// The longest list text, in characters with CR LF as two, that copying leaves
// in the field.
inline constexpr qsizetype MaxListLength = 20000;

// The main window. Its controls carry their names as object names; the two
// year fields txtYear[0] and txtYear[1] are "txtYear0" and "txtYear1".
class frmMain : public QWidget
{
    Q_OBJECT

public:
    // The roster and the list file are found from programDirectory, the
    // program's own folder (see installlayout.h); random makes the
    // draws of every generation.
    explicit frmMain(const QString &programDirectory, std::unique_ptr<RandomSource> random,
                     QWidget *parent = nullptr);
    explicit frmMain(const QString &programDirectory, QWidget *parent = nullptr);
    ~frmMain() override;

    // Where the list's two choices are remembered across starts, an INI file
    // (see settingsfile.h); empty, the default, remembers nothing. Set it
    // before Form_Load.
    void setSettingsFile(const QString &path);
    // Choices to turn on at start over what was remembered, without
    // remembering them. Set before Form_Load.
    void setStartRules(NameRules rules);
    NameRules nameRules() const;

    // The start sequence, run once before the window first shows: loads the
    // roster and makes the first list. False when the roster could not be
    // loaded; that has been reported, and the window must not be shown.
    bool Form_Load();

    // The whole list as the program sees it: lines separated by CR LF, however
    // the field stores them.
    QString listText() const;
    void setListText(const QString &text);

    const MainState &state() const { return *m_state; }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private slots:
    void cmdSetTimePeriod_Click();
    void cmdGenerate_Click();
    void cmdClear_Click();
    void cmdCopyNames_Click();
    void cmdSave_Click();
    void cmdHelp_Click();
    void cmdExit_Click();
    void txtYear_Change(int index);
    void txtYear_GotFocus(int index);
    void txtNumNames_GotFocus();
    void txtPlayerNames_ContextMenu(const QPoint &position);
    void nameRule_Toggled();

private:
    void createControls();
    void createActions();
    void createConnections();
    void createTabOrder();

    bool yearsChangedSincePeriod() const;
    const AllowedNames &allowedNames();
    void readNameRules();
    void writeNameRule(bool NameRules::*rule, bool on);
    void listEmptied();

    QLineEdit *txtYear[2] = {};
    QLabel *Label1 = nullptr;
    QLabel *Label2 = nullptr;
    QLineEdit *txtNumNames = nullptr;
    QLabel *Image1 = nullptr;
    QLabel *Label3 = nullptr;
    QPushButton *cmdSetTimePeriod = nullptr;
    QPushButton *cmdGenerate = nullptr;
    QPushButton *cmdClear = nullptr;
    QPushButton *cmdCopyNames = nullptr;
    QPushButton *cmdSave = nullptr;
    QPushButton *cmdHelp = nullptr;
    QPushButton *cmdExit = nullptr;
    QPlainTextEdit *txtPlayerNames = nullptr;
    QAction *mnuMadeUpNamesOnly = nullptr;
    QAction *mnuNoRepeatedNames = nullptr;

    QString m_programDirectory;
    std::unique_ptr<RandomSource> m_random;
    std::unique_ptr<MainState> m_state;
    std::unique_ptr<LineEditYearFields> m_yearFields;
    std::optional<AllowedNames> m_allowedNames; // for the current period; built when first needed
    ListFileNames m_listFileNames; // the list file's names, for No Repeated Names
    QString m_settingsPath;
    bool m_settingsRefused = false; // not a regular file at start: never touched
    NameRules m_startRules;
    // Why Save has nothing to write; empty while the list shows the picks.
    QString m_noListReason;
    // The rules the picks were drawn under.
    NameRules m_pickRules;
    // Whether the picks are in the list file already, by a save of this window.
    bool m_picksSaved = false;
    // The year texts of the period the picks were drawn from.
    QString m_pickStartText;
    QString m_pickEndText;
};
