// SPDX-FileCopyrightText: 2026 The Quillery developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "frmmain.h"

#include "builtinpictures.h"
#include "base/installlayout.h"
#include "base/numeric.h"
#include "base/settingsfile.h"
#include "firstlinevalidator.h"
#include "frmhelp.h"
#include "lightpalette.h"
#include "list/listfile.h"
#include "list/namefile.h"
#include "generate/generator.h"
#include "generate/randomsource.h"
#include "messages.h"
#include "platform/nativepath.h"
#include "popupaccessibility.h"
#include "roster/period.h"
#include "roster/rosterfile.h"
#include "twips.h"
#include "waitcursor.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QDir>
#include <QGuiApplication>
#include <QEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QShortcut>
#include <QTextBlock>

#include <optional>
#include <utility>

namespace {

const QString NoListToSave = QStringLiteral("There is no list to save. Generate makes a new one.");

// The remembered choices: the group and key in the settings file, and the entry.
struct RememberedRule {
    const char *group;
    const char *key;
    bool NameRules::*rule;
};
constexpr RememberedRule RememberedRules[] = {{"Names", "MadeUpNamesOnly", &NameRules::fictional},
                                              {"Names", "NoRepeatedNames", &NameRules::unique}};

SettingsText::Value rememberedValue(const SettingsText &text, const RememberedRule &remembered)
{
    return text.value(QLatin1String(remembered.group), QLatin1String(remembered.key));
}

// The first line of the settings file that the program can't read, a value
// neither true nor false included, and why; line 0 when there is none.
std::pair<int, QString> firstUnreadLine(const SettingsText &text)
{
    std::pair<int, QString> first{text.unreadableLine(), text.unreadableReason()};
    for (const RememberedRule &remembered : RememberedRules) {
        const SettingsText::Value value = rememberedValue(text, remembered);
        if (value.line == 0 || value.text == u"true" || value.text == u"false")
            continue;
        if (first.first == 0 || value.line < first.first) {
            first = {value.line, QStringLiteral("%1/%2 holds \"%3\", neither true nor false")
                                         .arg(QLatin1String(remembered.group), QLatin1String(remembered.key),
                                              withVisibleControls(value.text))};
        }
    }
    return first;
}

QFont dialogFont(bool bold = false)
{
    QFont font(QStringLiteral("MS Sans Serif"));
    font.setPointSizeF(8.25);
    font.setBold(bold);
    return font;
}

QLineEdit *makeField(QWidget *parent, const QString &name, const QString &text, const QString &accessibleName,
                     const QRect &geometry)
{
    auto *field = new QLineEdit(text, parent);
    field->setObjectName(name);
    field->setAccessibleName(accessibleName);
    field->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    field->setGeometry(geometry);
    field->setValidator(new FirstLineValidator(field));
    return field;
}

// A key pressed with Alt is a command, and one that is no access key must not
// type its letter instead. AltGr still types: Windows reports it as Ctrl+Alt,
// and X11 never as Alt.
bool isAltChordWithText(const QKeyEvent *key)
{
    const Qt::KeyboardModifiers modifiers = key->modifiers();
    return modifiers.testFlag(Qt::AltModifier) && !modifiers.testFlag(Qt::ControlModifier)
            && !modifiers.testFlag(Qt::GroupSwitchModifier) && !key->text().isEmpty() && key->text().front().isPrint();
}

bool isContextMenuKey(const QKeyEvent *key)
{
    return (key->key() == Qt::Key_Menu && key->modifiers() == Qt::NoModifier)
            || (key->key() == Qt::Key_F10 && key->modifiers() == Qt::ShiftModifier);
}

QLabel *makeLabel(QWidget *parent, const QString &name, const QString &text, Qt::Alignment alignment, bool bold,
                  const QRect &geometry)
{
    auto *label = new QLabel(text, parent);
    label->setObjectName(name);
    label->setAlignment(alignment | Qt::AlignTop);
    label->setWordWrap(true);
    label->setFont(dialogFont(bold));
    label->setGeometry(geometry);
    return label;
}

QPushButton *makeButton(QWidget *parent, const QString &name, const QString &caption, const QRect &geometry)
{
    auto *button = new QPushButton(caption, parent);
    button->setObjectName(name);
    // Outside a dialog a button answers Enter only when it is auto-default.
    button->setAutoDefault(true);
    button->setGeometry(geometry);
    return button;
}

} // namespace

frmMain::frmMain(const QString &programDirectory, std::unique_ptr<RandomSource> random, QWidget *parent)
    : QWidget(parent, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint
                              | Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint)
    , m_programDirectory(programDirectory)
    , m_random(std::move(random))
    , m_state(std::make_unique<MainState>())
{
    registerResources();
    createControls();
    createActions();
    createConnections();
    createTabOrder();
}

frmMain::frmMain(const QString &programDirectory, QWidget *parent)
    : frmMain(programDirectory, std::make_unique<ClockRandom>(), parent)
{
}

frmMain::~frmMain() = default;

void frmMain::createControls()
{
    setObjectName(QStringLiteral("frmMain"));
    setWindowTitle(QStringLiteral("Quillery for the Orvale "));
    setFont(dialogFont());
    setPalette(lightFacePalette());
    setFixedSize(twipsSize(7395, 4695));

    txtYear[0] = makeField(this, QStringLiteral("txtYear0"), QStringLiteral("1871"), tr("Start year"),
                           twipsRect(360, 360, 855, 315));
    Label1 = makeLabel(this, QStringLiteral("Label1"), QStringLiteral("to"), Qt::AlignHCenter, true,
                       twipsRect(1380, 420, 435, 315));
    txtYear[1] = makeField(this, QStringLiteral("txtYear1"), QStringLiteral("2000"), tr("End year"),
                           twipsRect(1980, 360, 855, 315));
    Label2 = makeLabel(this, QStringLiteral("Label2"), QStringLiteral("Number of Names 1 to 1000"), Qt::AlignHCenter,
                       true, twipsRect(180, 900, 1635, 435));
    txtNumNames = makeField(this, QStringLiteral("txtNumNames"), QStringLiteral("12"), tr("Number of names"),
                            twipsRect(1980, 960, 855, 315));
    Label2->setBuddy(txtNumNames);
    txtYear[0]->setAccessibleDescription(tr("1871 or later; an earlier year becomes 1871"));
    txtYear[1]->setAccessibleDescription(
            tr("A year above 9999 becomes 9999, but a form of three characters or fewer, such as 1e5, can go beyond"));

    Image1 = new QLabel(this);
    Image1->setObjectName(QStringLiteral("Image1"));
    Image1->setAccessibleName(tr("Picture of a baseball"));
    Image1->setPixmap(builtInPicture(QStringLiteral(":/baseball.gif"), "gif"));
    Image1->setGeometry(twipsRect(180, 1500, 2640, 2340));

    Label3 = makeLabel(this, QStringLiteral("Label3"), tr("By the Quillery developers"), Qt::AlignLeft, false,
                       twipsRect(180, 4020, 2775, 315));

    cmdSetTimePeriod = makeButton(this, QStringLiteral("cmdSetTimePeriod"), QStringLiteral("&Time Period "),
                                  twipsRect(3060, 300, 1215, 495));
    cmdGenerate = makeButton(this, QStringLiteral("cmdGenerate"), QStringLiteral("&Generate"),
                             twipsRect(3060, 885, 1215, 495));
    cmdGenerate->setDefault(true);
    cmdClear = makeButton(this, QStringLiteral("cmdClear"), QStringLiteral("&Clear Names"),
                          twipsRect(3060, 1485, 1215, 495));
    cmdCopyNames = makeButton(this, QStringLiteral("cmdCopyNames"), QStringLiteral("Cop&y to Clip"),
                              twipsRect(3060, 2070, 1215, 495));
    cmdSave = makeButton(this, QStringLiteral("cmdSave"), QStringLiteral("&Save to File"),
                         twipsRect(3060, 2655, 1215, 495));
    cmdHelp = makeButton(this, QStringLiteral("cmdHelp"), QStringLiteral("&Help!"), twipsRect(3060, 3255, 1215, 495));
    cmdExit = makeButton(this, QStringLiteral("cmdExit"), QStringLiteral("E&xit"), twipsRect(3060, 3840, 1215, 495));

    txtPlayerNames = new QPlainTextEdit(this);
    txtPlayerNames->setObjectName(QStringLiteral("txtPlayerNames"));
    txtPlayerNames->setAccessibleName(tr("Generated names"));
    txtPlayerNames->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    txtPlayerNames->setTabChangesFocus(true);
    txtPlayerNames->setContextMenuPolicy(Qt::CustomContextMenu);
    txtPlayerNames->setGeometry(twipsRect(4500, 300, 2655, 4095));

    m_yearFields = std::make_unique<LineEditYearFields>(txtYear[0], txtYear[1]);
}

// The list's context menu adds these to its standard entries.
void frmMain::createActions()
{
    const auto makeEntry = [this](const QString &name, const QString &caption, const QString &description) {
        auto *action = new QAction(caption, this);
        action->setObjectName(name);
        action->setCheckable(true);
        action->setStatusTip(description);
        action->setToolTip(description);
        return action;
    };
    mnuMadeUpNamesOnly = makeEntry(QStringLiteral("mnuMadeUpNamesOnly"), QStringLiteral("&Made-up Names Only"),
                                   tr("No name in the list is a real player's full name"));
    mnuNoRepeatedNames = makeEntry(QStringLiteral("mnuNoRepeatedNames"), QStringLiteral("&No Repeated Names"),
                                   tr("No name appears twice in the list or is already in the list file"));
}

void frmMain::createConnections()
{
    for (int index : {0, 1}) {
        connect(txtYear[index], &QLineEdit::textChanged, this, [this, index] { txtYear_Change(index); });
        connect(txtYear[index], &QLineEdit::returnPressed, cmdGenerate, &QPushButton::click);
        txtYear[index]->installEventFilter(this);
    }
    connect(txtNumNames, &QLineEdit::returnPressed, cmdGenerate, &QPushButton::click);
    txtNumNames->installEventFilter(this);
    txtPlayerNames->installEventFilter(this);

    connect(cmdSetTimePeriod, &QPushButton::clicked, this, &frmMain::cmdSetTimePeriod_Click);
    connect(cmdGenerate, &QPushButton::clicked, this, &frmMain::cmdGenerate_Click);
    connect(cmdClear, &QPushButton::clicked, this, &frmMain::cmdClear_Click);
    connect(cmdCopyNames, &QPushButton::clicked, this, &frmMain::cmdCopyNames_Click);
    connect(cmdSave, &QPushButton::clicked, this, &frmMain::cmdSave_Click);
    connect(cmdHelp, &QPushButton::clicked, this, &frmMain::cmdHelp_Click);
    connect(cmdExit, &QPushButton::clicked, this, &frmMain::cmdExit_Click);

    connect(txtPlayerNames, &QWidget::customContextMenuRequested, this, &frmMain::txtPlayerNames_ContextMenu);
    connect(mnuMadeUpNamesOnly, &QAction::triggered, this, &frmMain::nameRule_Toggled);
    connect(mnuNoRepeatedNames, &QAction::triggered, this, &frmMain::nameRule_Toggled);

    auto *helpKey = new QShortcut(QKeySequence::HelpContents, this);
    connect(helpKey, &QShortcut::activated, this, &frmMain::cmdHelp_Click);
}

void frmMain::createTabOrder()
{
    QWidget *const order[] = {txtYear[0], txtYear[1], cmdSetTimePeriod, txtNumNames, cmdGenerate, cmdClear,
                              cmdCopyNames, cmdExit, cmdHelp, txtPlayerNames, cmdSave};
    for (size_t i = 1; i < std::size(order); ++i)
        setTabOrder(order[i - 1], order[i]);
}

bool frmMain::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::KeyPress && isAltChordWithText(static_cast<QKeyEvent *>(event)))
        return true;
    // Not every window system turns these keys into a context menu request;
    // the menu opens at the text cursor, as a keyboard user expects.
    if (watched == txtPlayerNames && event->type() == QEvent::KeyPress
        && isContextMenuKey(static_cast<QKeyEvent *>(event))) {
        txtPlayerNames_ContextMenu(txtPlayerNames->cursorRect().center());
        return true;
    }
    if (event->type() == QEvent::FocusIn) {
        // Coming back to the window or closing a context menu is no move into
        // the field, so it keeps the selection it had.
        const auto reason = static_cast<QFocusEvent *>(event)->reason();
        if (reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason) {
            if (watched == txtYear[0] || watched == txtYear[1])
                txtYear_GotFocus(watched == txtYear[0] ? 0 : 1);
            else if (watched == txtNumNames)
                txtNumNames_GotFocus();
        }
    }
    return QWidget::eventFilter(watched, event);
}

void frmMain::setSettingsFile(const QString &path)
{
    m_settingsPath = path;
}

void frmMain::setStartRules(NameRules rules)
{
    m_startRules = rules;
}

NameRules frmMain::nameRules() const
{
    return {mnuMadeUpNamesOnly->isChecked(), mnuNoRepeatedNames->isChecked()};
}

bool frmMain::Form_Load()
{
    readNameRules();
    RosterReport report;
    {
        WaitCursor wait;
        m_state->DataFilePath = rosterLocation(m_programDirectory);
        setListText(QString());
        report = LoadNameFile(*m_state);
        if (report.loaded())
            cmdSetTimePeriod_Click();
    }
    if (!report.loaded()) {
        showMessage(this, QMessageBox::Critical, report.error);
        return false;
    }
    if (report.hasWarnings())
        showMessage(this, QMessageBox::Warning, report.warningText());

    txtYear[0]->setFocus(Qt::OtherFocusReason);
    txtYear_GotFocus(0);
    return true;
}

void frmMain::cmdSetTimePeriod_Click()
{
    setListText(QString());
    WaitCursor wait;
    cmdGenerate->setEnabled(false);
    NormalisePeriod(*m_yearFields);
    FilterByPeriod(*m_state, *m_yearFields);
    m_allowedNames.reset();
    cmdGenerate->setEnabled(true);
    cmdGenerate_Click();
}

bool frmMain::yearsChangedSincePeriod() const
{
    return txtYear[0]->text() != m_state->PoolStartText || txtYear[1]->text() != m_state->PoolEndText;
}

const AllowedNames &frmMain::allowedNames()
{
    if (!m_allowedNames || m_allowedNames->rules() != nameRules())
        m_allowedNames.emplace(*m_state, nameRules());
    return *m_allowedNames;
}

void frmMain::cmdGenerate_Click()
{
    // The list always comes from the years the fields show.
    if (yearsChangedSincePeriod()) {
        cmdSetTimePeriod_Click();
        return;
    }
    Generation generation;
    {
        WaitCursor wait;
        // No Repeated Names also leaves out the names saved to the list file.
        QString listFileError;
        if (nameRules().unique) {
            listFileError = m_listFileNames.update(
                    listFilePath(listFileFolder(m_programDirectory, m_state->DataFilePath)), allowedNames());
        }
        if (!listFileError.isEmpty()) {
            generation.countText = NumberText(RequestedCount(txtNumNames->text()));
            generation.problem =
                    listFileError + QStringLiteral(" No name was drawn, as No Repeated Names leaves out the names it holds.");
        } else {
            generation = nameRules().any()
                    ? GenerateAllowedNames(*m_state, txtNumNames->text(), *m_random, allowedNames(), Shortfall::DrawAll,
                                           nameRules().unique ? m_listFileNames.taken() : nullptr)
                    : GenerateNames(*m_state, txtNumNames->text(), *m_random);
        }
        txtNumNames->setText(generation.countText);
        if (!generation.picksKept) {
            // One write for the whole list: rewriting the field per name is slow.
            setListText(generation.listText);
            m_pickStartText = m_state->PoolStartText;
            m_pickEndText = m_state->PoolEndText;
        }
    }
    if (!generation.problem.isEmpty()) {
        // A list the field still shows was drawn before, under other rules.
        m_noListReason = QStringLiteral("There is no list to save: no name could be drawn. ") + generation.problem;
        showMessage(this, QMessageBox::Warning, generation.problem);
        return;
    }
    m_noListReason.clear();
    m_pickRules = nameRules();
    m_picksSaved = false;
    if (!generation.shortfall.isEmpty()) {
        showMessage(this, QMessageBox::Information,
                    generation.shortfall + QStringLiteral(" The list holds all %1.").arg(m_state->NumNames));
    }
}

void frmMain::cmdClear_Click()
{
    setListText(QString());
    listEmptied();
}

void frmMain::listEmptied()
{
    m_noListReason = NoListToSave;
}

void frmMain::cmdCopyNames_Click()
{
    txtPlayerNames->selectAll();
    QClipboard *clipboard = QGuiApplication::clipboard();
    clipboard->clear();
    const QString list = listText();
    clipboard->setText(list);
    QTextCursor start = txtPlayerNames->textCursor();
    start.setPosition(0);
    txtPlayerNames->setTextCursor(start);

    // The list has been copied by now, so the clipboard keeps a list that is
    // too long even though the field is emptied.
    if (list.size() > MaxListLength) {
        showMessage(this, QMessageBox::NoIcon, QStringLiteral("Name list is too large. It must be cleared before proceeding."));
        setListText(QString());
        listEmptied();
    }
}

void frmMain::cmdSave_Click()
{
    // Only a list the user can see is saved; what is saved are its picks.
    if (!m_noListReason.isEmpty() || txtPlayerNames->document()->isEmpty()) {
        showMessage(this, QMessageBox::Warning, m_noListReason.isEmpty() ? NoListToSave : m_noListReason);
        return;
    }
    // Nor a list that an entry turned on since did not shape.
    for (QAction *entry : {mnuMadeUpNamesOnly, mnuNoRepeatedNames}) {
        const bool NameRules::*rule = entry == mnuMadeUpNamesOnly ? &NameRules::fictional : &NameRules::unique;
        if (entry->isChecked() && !(m_pickRules.*rule)) {
            showMessage(this, QMessageBox::Warning,
                        QStringLiteral("There is no list to save under \"%1\": the list shown was drawn before it "
                                       "was turned on. Generate makes a new one.")
                                .arg(QString(entry->text()).remove(u'&')));
            return;
        }
    }
    // Saved again, its names would be in the list file twice.
    if (m_picksSaved && mnuNoRepeatedNames->isChecked()) {
        showMessage(this, QMessageBox::Warning,
                    QStringLiteral("There is no list to save under \"No Repeated Names\": the list shown has been "
                                   "saved to the list file already. Generate makes a new one."));
        return;
    }
    const QByteArray block = listBlock(m_pickStartText, m_pickEndText, *m_state);
    const CheckedPath folder = listFileDirectory(m_programDirectory, m_state->DataFilePath);
    if (!folder.ok()) {
        showMessage(this, QMessageBox::Critical, folder.error);
        return;
    }
    const QString directory = folder.path;
    const QString path = listFilePath(directory);
    ListFileReport report;
    {
        // Another program's lock can hold the save for seconds; the pointer
        // says so while it waits, and is normal again for the message.
        std::optional<WaitCursor> busy;
        report = appendListBlock(path, block, [&busy] { busy.emplace(); });
    }
    if (!report.saved()) {
        showMessage(this, QMessageBox::Critical, report.error);
        return;
    }
    m_picksSaved = true;
    // Anywhere but beside the program, the user must be told where to look.
    const QString saved = QDir(directory) == QDir(m_programDirectory)
            ? ListFileSavedMessage.toString()
            : QStringLiteral("File %1 Successfully Written!").arg(QDir::toNativeSeparators(path));
    showMessage(this, QMessageBox::NoIcon, saved);
}

void frmMain::cmdHelp_Click()
{
    showHelp(this);
}

void frmMain::cmdExit_Click()
{
    close();
}

void frmMain::txtYear_Change(int index)
{
    ApplyYearLimits(*m_yearFields, txtYear[index]->text());
}

void frmMain::txtYear_GotFocus(int index)
{
    txtYear[index]->selectAll();
}

void frmMain::txtNumNames_GotFocus()
{
    txtNumNames->selectAll();
}

void frmMain::txtPlayerNames_ContextMenu(const QPoint &position)
{
    // A request that arrives while the menu is open (a window system that
    // sends one for the key as well) opens no second menu.
    if (QApplication::activePopupWidget())
        return;
    const std::unique_ptr<QMenu> menu(txtPlayerNames->createStandardContextMenu(position));
    menu->setObjectName(QStringLiteral("mnuList"));
    menu->addSeparator();
    menu->addAction(mnuMadeUpNamesOnly);
    menu->addAction(mnuNoRepeatedNames);
    menu->exec(txtPlayerNames->viewport()->mapToGlobal(position));
}

void frmMain::nameRule_Toggled()
{
    // Only the entry the user chose is remembered: one that the command line
    // turned on stays a choice of this run.
    bool NameRules::*toggled = sender() == mnuMadeUpNamesOnly ? &NameRules::fictional : &NameRules::unique;
    writeNameRule(toggled, nameRules().*toggled);
}

void frmMain::readNameRules()
{
    NameRules rules = m_startRules;
    if (!m_settingsPath.isEmpty()) {
        const QString file = QDir::toNativeSeparators(m_settingsPath);
        const SettingsFileRead read = readSettingsFile(m_settingsPath);
        if (read.status == SettingsFileRead::Refused) {
            m_settingsRefused = true;
            showMessage(this, QMessageBox::Warning,
                        QStringLiteral("Cannot use the settings file %1: %2. No remembered choice is read, and the "
                                       "file is left as it is: a choice changed in the list's menu holds until the "
                                       "program ends.").arg(file, read.reason));
        }
        for (const RememberedRule &remembered : RememberedRules) {
            if (rememberedValue(read.text, remembered).text == u"true")
                rules.*remembered.rule = true;
        }
        if (const auto [line, reason] = firstUnreadLine(read.text); line > 0) {
            showMessage(this, QMessageBox::Warning,
                        QStringLiteral("Cannot read line %1 of the settings file %2: %3. The choices its other lines "
                                       "give are used, and the file is left as it is: a choice changed in the list's "
                                       "menu holds until the program ends.").arg(QString::number(line), file, reason));
        }
    }
    mnuMadeUpNamesOnly->setChecked(rules.fictional);
    mnuNoRepeatedNames->setChecked(rules.unique);
}

void frmMain::writeNameRule(bool NameRules::*rule, bool on)
{
    // A file refused at start has been reported, and is never touched.
    if (m_settingsPath.isEmpty() || m_settingsRefused)
        return;
    const QString file = QDir::toNativeSeparators(m_settingsPath);
    const auto cannotRemember = [this, &file](const QString &why) {
        showMessage(this, QMessageBox::Warning,
                    QStringLiteral("Cannot remember the choice in %1: %2. The choice holds until the program ends.")
                            .arg(file, why));
    };
    // Read afresh, so that what changed in the file meanwhile is kept, and
    // never rewritten unless every line of it is understood.
    SettingsFileRead read = readSettingsFile(m_settingsPath);
    if (read.status == SettingsFileRead::Refused) {
        cannotRemember(read.reason + QStringLiteral(", so it is left as it is"));
        return;
    }
    if (const auto [line, reason] = firstUnreadLine(read.text); line > 0) {
        cannotRemember(QStringLiteral("line %1 cannot be read (%2), so the file is left as it is")
                               .arg(QString::number(line), reason));
        return;
    }
    for (const RememberedRule &remembered : RememberedRules) {
        if (remembered.rule == rule) {
            read.text.setValue(QLatin1String(remembered.group), QLatin1String(remembered.key),
                               on ? QStringLiteral("true") : QStringLiteral("false"));
        }
    }
    if (const QString reason = writeSettingsFile(m_settingsPath, read.text); !reason.isEmpty())
        cannotRemember(reason + QStringLiteral(", so it is left as it was"));
}

QString frmMain::listText() const
{
    // Block by block rather than toPlainText(), which turns non-breaking
    // spaces into plain ones.
    QString text;
    for (QTextBlock block = txtPlayerNames->document()->begin(); block.isValid(); block = block.next()) {
        if (block != txtPlayerNames->document()->begin())
            text += u"\r\n";
        text += block.text();
    }
    return text;
}

void frmMain::setListText(const QString &text)
{
    // Emptying an empty list would only lay out the field again, and the start
    // sequence empties it twice before the first list.
    if (text.isEmpty() && txtPlayerNames->document()->isEmpty())
        return;
    QString lines = text;
    lines.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    txtPlayerNames->setPlainText(lines);
}
