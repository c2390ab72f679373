// SPDX-FileCopyrightText: 2026 The Quillery developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "platform/nativepath.h"
#include "generate/randomsource.h"
#include "gui/application.h"
#include "gui/fixedsizewindows.h"
#include "gui/frmhelp.h"
#include "gui/frmmain.h"
#include "gui/messages.h"
#include "list/listfile.h"

#include <QAccessible>
#include <QApplication>
#include <QClipboard>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScopeGuard>
#include <QScrollBar>
#include <QSignalSpy>
#include <QStyle>
#include <QWindow>
#include <QStyleOptionButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <functional>
#include <memory>

#ifdef Q_OS_UNIX
#include <sys/stat.h>
#endif

namespace {

// Draws like FixedSeedRandom, and notes how often a generation started and
// whether the busy pointer was up when it did.
class WatchingRandom final : public RandomSource
{
public:
    void seed() override
    {
        ++generations;
        const QCursor *cursor = QGuiApplication::overrideCursor();
        busyAtLastGeneration = cursor && cursor->shape() == Qt::WaitCursor;
        m_draws.seed();
    }
    float next() override { return m_draws.next(); }

    int generations = 0;
    bool busyAtLastGeneration = false;

private:
    FixedSeedRandom m_draws{7};
};

// Years 1954, 1911, 1905, none, 1871, 2000 and 5000.
const QByteArray SmallRoster = "Aaron,Hank,1954\r\n"
                               "Baker,Frank,1911\r\n"
                               "Cobb,Ty,1905\r\n"
                               "Doe,John,\r\n"
                               "Early,Ed,1871\r\n"
                               "Late,Lou,2000\r\n"
                               "Future,Fred,5000\r\n";

int lineCount(const QString &listText)
{
    return int(listText.count(QStringLiteral("\r\n")));
}

} // namespace

class TestFrmMain : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void startState();
    void keys_data();
    void keys();
    void accessKeys_data();
    void accessKeys();
    void helpKeys_data();
    void helpKeys();
    void altChordsTypeNothing_data();
    void altChordsTypeNothing();
    void pasteKeepsTheFirstLine_data();
    void pasteKeepsTheFirstLine();
    void tabOrderSelectsWholeFields();
    void yearRulesWhileTyping_data();
    void yearRulesWhileTyping();
    void timePeriod_data();
    void timePeriod();
    void countWrittenBack_data();
    void countWrittenBack();
    void clearKeepsPicks();
    void listTextUsesCrLf_data();
    void listTextUsesCrLf();
    void generateWritesListOnce();
    void waitCursorRestored_data();
    void waitCursorRestored();
    void rosterFailureStopsStart_data();
    void rosterFailureStopsStart();
    void programFolderNotUtf8IsRefused();
    void skippedLinesWarnOnce();
    void windows1252RosterOpensQuietly();
    void emptyPoolReported_data();
    void emptyPoolReported();
    void layout_data();
    void layout();
    void window();
    void captions_data();
    void captions();
    void noCaptionClipped();
    void accessibleNames_data();
    void accessibleNames();
    void pictures();
    void lightFaceOnDarkDesktop_data();
    void lightFaceOnDarkDesktop();
    void listMenuEntries_data();
    void listMenuEntries();
    void rulesShapeTheList_data();
    void rulesShapeTheList();
    void listFileBesideTheProgram_data();
    void listFileBesideTheProgram();
    void choicesRememberedAcrossRestart();
    void settingsFileRead_data();
    void settingsFileRead();
    void savedMessageNamesAFolderAwayFromTheProgram();

private:
    // Loads a window on the given roster bytes; with show, also shows and
    // activates it. Messages go to m_messages.
    bool open(const QByteArray &roster, bool show = true);
    bool openShipped();
    bool showWindow();
    template<class T> T *child(const QString &name) { return m_window->findChild<T *>(name); }
    QLineEdit *field(const QString &name) { return child<QLineEdit>(name); }
    QPushButton *button(const QString &name) { return child<QPushButton>(name); }
    void typeInto(QLineEdit *field, const QString &text);
    // Opens the list's context menu the way given ("right-click", "Shift+F10"
    // or "Menu key") and runs inside on it while it is open.
    bool withListMenu(const QString &how, const std::function<void(QMenu *)> &inside);
    // Turns an entry of the list's menu on or off by its access key.
    bool pressInListMenu(Qt::Key accessKey);
    QString settingsPath() const { return m_dir->filePath(QStringLiteral("Quillery.ini")); }

    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<MessageRecorder> m_messages;
    std::unique_ptr<frmMain> m_window;
    WatchingRandom *m_random = nullptr;
};

void TestFrmMain::initTestCase()
{
    prepareApplication();
}

void TestFrmMain::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
    m_messages = std::make_unique<MessageRecorder>();
}

void TestFrmMain::cleanup()
{
    m_window.reset();
    m_messages.reset();
    m_dir.reset();
    m_random = nullptr;
    while (QGuiApplication::overrideCursor())
        QGuiApplication::restoreOverrideCursor();
}

bool TestFrmMain::open(const QByteArray &roster, bool show)
{
    QFile file(m_dir->filePath(QStringLiteral("Kordane.txt")));
    if (!file.open(QIODevice::WriteOnly) || file.write(roster) != roster.size())
        return false;
    file.close();
    auto random = std::make_unique<WatchingRandom>();
    m_random = random.get();
    m_window = std::make_unique<frmMain>(m_dir->path(), std::move(random));
    if (!m_window->Form_Load())
        return false;
    return !show || showWindow();
}

bool TestFrmMain::openShipped()
{
    auto random = std::make_unique<WatchingRandom>();
    m_random = random.get();
    m_window = std::make_unique<frmMain>(QStringLiteral(QUILLERY_ROSTER_DIR), std::move(random));
    return m_window->Form_Load() && showWindow();
}

bool TestFrmMain::showWindow()
{
    m_window->show();
    m_window->activateWindow();
    return QTest::qWaitForWindowActive(m_window.get());
}

void TestFrmMain::typeInto(QLineEdit *target, const QString &text)
{
    target->setFocus(Qt::MouseFocusReason);
    target->selectAll();
    if (text.isEmpty())
        QTest::keyClick(target, Qt::Key_Delete);
    QTest::keyClicks(target, text);
}

bool TestFrmMain::withListMenu(const QString &how, const std::function<void(QMenu *)> &inside)
{
    auto *list = child<QPlainTextEdit>(QStringLiteral("txtPlayerNames"));
    list->setFocus(Qt::TabFocusReason);
    bool opened = false;
    // Keys reach the window a moment later; the menu's own loop runs this.
    QTimer watcher;
    connect(&watcher, &QTimer::timeout, m_window.get(), [&] {
        auto *menu = qobject_cast<QMenu *>(QApplication::activePopupWidget());
        if (!menu || opened)
            return;
        opened = true;
        inside(menu);
        menu->close();
    });
    watcher.start(10);
    const bool menuKey = how == u"Menu key";
    if (how == u"right-click")
        QTest::mouseClick(m_window->windowHandle(), Qt::RightButton, {}, list->mapTo(m_window.get(), list->rect().center()));
    else
        QTest::keyClick(m_window->windowHandle(), menuKey ? Qt::Key_Menu : Qt::Key_F10, menuKey ? Qt::NoModifier : Qt::ShiftModifier);
    QTest::qWaitFor([&opened] { return opened; }, 2000);
    return opened && !QApplication::activePopupWidget();
}

void TestFrmMain::startState()
{
    QVERIFY(openShipped());

    QCOMPARE(field("txtYear0")->text(), QStringLiteral("1871"));
    QCOMPARE(field("txtYear1")->text(), QStringLiteral("2000"));
    QCOMPARE(field("txtNumNames")->text(), QStringLiteral("12"));

    const MainState &state = m_window->state();
    QVERIFY(state.NameCount > 19000);
    QCOMPARE(state.NumNames, qint16(12));
    QString expected;
    for (int i = 1; i <= 12; ++i)
        expected += state.PickFirst[size_t(i)] + u' ' + state.PickLast[size_t(i)] + QStringLiteral("\r\n");
    QCOMPARE(m_window->listText(), expected);
    QCOMPARE(m_random->generations, 1);

    QCOMPARE(QGuiApplication::overrideCursor(), nullptr);
    QCOMPARE(m_window->cursor().shape(), Qt::ArrowCursor);
    QCOMPARE(QApplication::focusWidget(), field("txtYear0"));
    QCOMPARE(field("txtYear0")->selectedText(), QStringLiteral("1871"));
    QVERIFY(m_messages->messages.isEmpty());

    for (QWidget *control : m_window->findChildren<QWidget *>(Qt::FindDirectChildrenOnly)) {
        QVERIFY2(control->isVisible(), qPrintable(control->objectName()));
        QVERIFY2(control->isEnabled(), qPrintable(control->objectName()));
    }
}

void TestFrmMain::keys_data()
{
    QTest::addColumn<QString>("focus");
    QTest::addColumn<int>("key");
    QTest::addColumn<int>("generations");
    QTest::addColumn<bool>("listEmpty");
    QTest::addColumn<bool>("closes");

    QTest::newRow("Enter in start year generates") << "txtYear0" << int(Qt::Key_Return) << 1 << false << false;
    QTest::newRow("Enter in end year generates") << "txtYear1" << int(Qt::Key_Return) << 1 << false << false;
    QTest::newRow("Enter in count generates") << "txtNumNames" << int(Qt::Key_Return) << 1 << false << false;
    QTest::newRow("keypad Enter in count generates") << "txtNumNames" << int(Qt::Key_Enter) << 1 << false << false;
    QTest::newRow("Enter on Generate") << "cmdGenerate" << int(Qt::Key_Return) << 1 << false << false;
    QTest::newRow("Enter on Time Period") << "cmdSetTimePeriod" << int(Qt::Key_Return) << 1 << false << false;
    QTest::newRow("Enter on Clear Names clears") << "cmdClear" << int(Qt::Key_Return) << 0 << true << false;
    QTest::newRow("Enter on Exit closes") << "cmdExit" << int(Qt::Key_Return) << 0 << false << true;
    QTest::newRow("Escape in a field does nothing") << "txtYear0" << int(Qt::Key_Escape) << 0 << false << false;
    QTest::newRow("Escape on a button does nothing") << "cmdClear" << int(Qt::Key_Escape) << 0 << false << false;
}

void TestFrmMain::keys()
{
    QFETCH(QString, focus);
    QFETCH(int, key);
    QFETCH(int, generations);
    QFETCH(bool, listEmpty);
    QFETCH(bool, closes);
    QVERIFY(open(SmallRoster));

    QWidget *target = child<QWidget>(focus);
    QVERIFY(target);
    target->setFocus(Qt::TabFocusReason);
    QTRY_COMPARE(QApplication::focusWidget(), target);
    const int before = m_random->generations;

    QTest::keyClick(target, Qt::Key(key));

    QCOMPARE(m_random->generations - before, generations);
    QCOMPARE(m_window->listText().isEmpty(), listEmpty);
    QCOMPARE(m_window->isVisible(), !closes);
}

void TestFrmMain::accessKeys_data()
{
    QTest::addColumn<int>("key");
    QTest::addColumn<int>("generations");
    QTest::addColumn<bool>("listEmpty");
    QTest::addColumn<bool>("closes");

    QTest::newRow("Alt+G generates") << int(Qt::Key_G) << 1 << false << false;
    QTest::newRow("Alt+T sets the period") << int(Qt::Key_T) << 1 << false << false;
    QTest::newRow("Alt+C clears") << int(Qt::Key_C) << 0 << true << false;
    QTest::newRow("Alt+X exits") << int(Qt::Key_X) << 0 << false << true;
}

void TestFrmMain::accessKeys()
{
    QFETCH(int, key);
    QFETCH(int, generations);
    QFETCH(bool, listEmpty);
    QFETCH(bool, closes);
    QVERIFY(open(SmallRoster));
    const int before = m_random->generations;

    QTest::keyClick(QApplication::focusWidget(), Qt::Key(key), Qt::AltModifier);

    QTRY_COMPARE(m_random->generations - before, generations);
    QTRY_COMPARE(m_window->listText().isEmpty(), listEmpty);
    QTRY_COMPARE(m_window->isVisible(), !closes);
}

void TestFrmMain::helpKeys_data()
{
    QTest::addColumn<QString>("focus");
    QTest::addColumn<QKeySequence>("keys");
    QTest::newRow("F1 in the list") << "txtPlayerNames" << QKeySequence(Qt::Key_F1);
    QTest::newRow("Alt+H") << "txtYear0" << QKeySequence(Qt::ALT | Qt::Key_H);
}

void TestFrmMain::helpKeys()
{
    QFETCH(QString, focus);
    QFETCH(QKeySequence, keys);
    QVERIFY(open(SmallRoster));
    child<QWidget>(focus)->setFocus(Qt::TabFocusReason);
    // Access keys click a moment later; the help window's own loop runs this.
    QString shown;
    QTimer watcher;
    connect(&watcher, &QTimer::timeout, m_window.get(), [&shown] {
        if (QWidget *modal = QApplication::activeModalWidget()) {
            shown = QString::fromLatin1(modal->metaObject()->className());
            modal->close();
        }
    });
    watcher.start(10);
    QTest::keySequence(QApplication::focusWidget(), keys);
    QTRY_COMPARE(shown, QStringLiteral("frmHelp"));
}

void TestFrmMain::altChordsTypeNothing_data()
{
    QTest::addColumn<QString>("focus");
    QTest::addColumn<char>("key");
    QTest::addColumn<Qt::KeyboardModifiers>("modifiers");
    QTest::addColumn<QString>("typed");

    QTest::newRow("Alt+N in end year") << "txtYear1" << 'n' << Qt::KeyboardModifiers(Qt::AltModifier) << "";
    QTest::newRow("Alt+Q in start year") << "txtYear0" << 'q' << Qt::KeyboardModifiers(Qt::AltModifier) << "";
    QTest::newRow("Alt+Shift+N in count") << "txtNumNames" << 'N' << (Qt::AltModifier | Qt::ShiftModifier) << "";
    QTest::newRow("Alt+N in the list") << "txtPlayerNames" << 'n' << Qt::KeyboardModifiers(Qt::AltModifier) << "";
    QTest::newRow("plain N types") << "txtYear1" << 'n' << Qt::KeyboardModifiers() << "n";
    QTest::newRow("AltGr as Ctrl+Alt types") << "txtYear1" << '@' << (Qt::ControlModifier | Qt::AltModifier) << "@";
    QTest::newRow("AltGr as group switch types") << "txtPlayerNames" << '@'
                                                 << (Qt::AltModifier | Qt::GroupSwitchModifier) << "@";
}

void TestFrmMain::altChordsTypeNothing()
{
    QFETCH(QString, focus);
    QFETCH(char, key);
    QFETCH(Qt::KeyboardModifiers, modifiers);
    QFETCH(QString, typed);
    QVERIFY(open(SmallRoster));
    QWidget *target = child<QWidget>(focus);
    target->setFocus(Qt::MouseFocusReason);
    auto *list = qobject_cast<QPlainTextEdit *>(target);
    list ? list->clear() : qobject_cast<QLineEdit *>(target)->clear();

    QTest::keyClick(target, key, modifiers);

    QCOMPARE(list ? list->toPlainText() : qobject_cast<QLineEdit *>(target)->text(), typed);
}

void TestFrmMain::pasteKeepsTheFirstLine_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<int>("cursor"); // -1: all selected
    QTest::addColumn<QString>("clipboard");
    QTest::addColumn<QString>("text");

    QTest::newRow("CR LF after a start year") << "txtYear0" << -1 << "1950\r\n" << "1950";
    QTest::newRow("LF into the middle of the count") << "txtNumNames" << 1 << "3\n4\n" << "132";
    QTest::newRow("CR alone") << "txtYear1" << -1 << "1999\r2000" << "1999";
    QTest::newRow("line separator") << "txtNumNames" << 0 << QStringLiteral("5\u20286") << "512";
    QTest::newRow("paragraph separator first") << "txtNumNames" << 2 << QStringLiteral("\u20297") << "12";
    QTest::newRow("no line break") << "txtYear0" << 0 << "1" << "11871";
}

void TestFrmMain::pasteKeepsTheFirstLine()
{
    QFETCH(QString, name);
    QFETCH(int, cursor);
    QFETCH(QString, clipboard);
    QFETCH(QString, text);
    QVERIFY(open(SmallRoster));
    QLineEdit *target = field(name);
    target->setFocus(Qt::MouseFocusReason);
    cursor < 0 ? target->selectAll() : target->setCursorPosition(cursor);
    QGuiApplication::clipboard()->setText(clipboard);

    QTest::keySequence(target, QKeySequence::Paste);

    QCOMPARE(target->text(), text);
}

void TestFrmMain::tabOrderSelectsWholeFields()
{
    QVERIFY(open(SmallRoster));
    for (const char *name : {"txtYear0", "txtYear1", "txtNumNames"})
        field(name)->deselect();

    const QStringList expected = {"txtYear1", "cmdSetTimePeriod", "txtNumNames", "cmdGenerate",
                                  "cmdClear", "cmdCopyNames", "cmdExit", "cmdHelp",
                                  "txtPlayerNames", "cmdSave", "txtYear0"};
    QStringList order;
    for (int i = 0; i < expected.size(); ++i) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QWidget *focused = QApplication::focusWidget();
        order << focused->objectName();
        if (auto *lineEdit = qobject_cast<QLineEdit *>(focused))
            QCOMPARE(lineEdit->selectedText(), lineEdit->text());
    }
    QCOMPARE(order, expected);

    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Backtab);
    QCOMPARE(QApplication::focusWidget()->objectName(), QStringLiteral("cmdSave"));

    // A move by the program selects too.
    field("txtNumNames")->deselect();
    field("txtNumNames")->setFocus(Qt::OtherFocusReason);
    QCOMPARE(field("txtNumNames")->selectedText(), QStringLiteral("12"));
}

void TestFrmMain::yearRulesWhileTyping_data()
{
    QTest::addColumn<QString>("target");
    QTest::addColumn<QString>("startBefore");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("beforeLastKey");
    QTest::addColumn<QString>("start");
    QTest::addColumn<QString>("end");

    QTest::newRow("start 1850 rises at the fourth key") << "txtYear0" << "1871" << "1850" << "185" << "1871" << "2000";
    QTest::newRow("start 1870 rises") << "txtYear0" << "1871" << "1870" << "187" << "1871" << "2000";
    QTest::newRow("start 1871 stays") << "txtYear0" << "1871" << "1871" << "187" << "1871" << "2000";
    QTest::newRow("start of three characters stays") << "txtYear0" << "1871" << "187" << "18" << "187" << "2000";
    QTest::newRow("end 12345 falls at the fifth key") << "txtYear1" << "1871" << "12345" << "1234" << "1871" << "9999";
    QTest::newRow("end 9999 stays") << "txtYear1" << "1871" << "9999" << "999" << "1871" << "9999";
    QTest::newRow("a long end raises a short low start") << "txtYear1" << "100" << "1999" << "199" << "1871" << "1999";
}

void TestFrmMain::yearRulesWhileTyping()
{
    QFETCH(QString, target);
    QFETCH(QString, startBefore);
    QFETCH(QString, typed);
    QFETCH(QString, beforeLastKey);
    QFETCH(QString, start);
    QFETCH(QString, end);
    QVERIFY(open(SmallRoster));
    field("txtYear0")->setText(startBefore);

    QLineEdit *edit = field(target);
    typeInto(edit, typed.chopped(1));
    QCOMPARE(edit->text(), beforeLastKey);
    QTest::keyClicks(edit, typed.right(1));

    QCOMPARE(field("txtYear0")->text(), start);
    QCOMPARE(field("txtYear1")->text(), end);
}

void TestFrmMain::timePeriod_data()
{
    QTest::addColumn<QString>("press"); // Time Period, or Enter, which applies changed years first
    QTest::addColumn<QString>("typedStart");
    QTest::addColumn<QString>("typedEnd");
    QTest::addColumn<QString>("start");
    QTest::addColumn<QString>("end");
    QTest::addColumn<int>("pool");

    QTest::newRow("unchanged period draws afresh") << "cmdSetTimePeriod" << "1871" << "2000" << "1871" << "2000" << 6;
    QTest::newRow("reversed period swaps") << "cmdSetTimePeriod" << "2000" << "1871" << "1871" << "2000" << 6;
    QTest::newRow("low start rises, undated only") << "cmdSetTimePeriod" << "185" << "1860" << "1871" << "1860" << 1;
    QTest::newRow("swap without undated") << "cmdSetTimePeriod" << "1950" << "1900" << "1900" << "1950" << 2;
    QTest::newRow("swapped start rises at once") << "cmdSetTimePeriod" << "5000" << "1860" << "1871" << "5000" << 7;
    QTest::newRow("start that is no number") << "cmdSetTimePeriod" << "abc" << "2000" << "1871" << "2000" << 6;
    QTest::newRow("swap writes plain numbers") << "cmdSetTimePeriod" << "2000.0" << "1995abc" << "1995" << "2000" << 1;
    QTest::newRow("Enter after new years") << "Enter" << "1900" << "1911" << "1900" << "1911" << 2;
    QTest::newRow("Enter after reversed years") << "Enter" << "1950" << "1900" << "1900" << "1950" << 2;
}

void TestFrmMain::timePeriod()
{
    QFETCH(QString, press);
    QFETCH(QString, typedStart);
    QFETCH(QString, typedEnd);
    QFETCH(QString, start);
    QFETCH(QString, end);
    QFETCH(int, pool);
    QVERIFY(open(SmallRoster));
    const int before = m_random->generations;

    // The end first, so that a long end text does not lift a short start.
    typeInto(field("txtYear1"), typedEnd);
    typeInto(field("txtYear0"), typedStart);
    if (press == u"Enter")
        QTest::keyClick(field("txtYear0"), Qt::Key_Return);
    else
        QTest::mouseClick(button(press), Qt::LeftButton);

    QCOMPARE(field("txtYear0")->text(), start);
    QCOMPARE(field("txtYear1")->text(), end);
    QCOMPARE(m_window->state().PoolCount, qint16(pool));
    QCOMPARE(m_random->generations - before, 1);
    QCOMPARE(lineCount(m_window->listText()), 12);
    QVERIFY(button("cmdGenerate")->isEnabled());
    QVERIFY(m_messages->messages.isEmpty());
    // The saved header names the period the names came from.
    QTest::mouseClick(button("cmdSave"), Qt::LeftButton);
    QFile list(m_dir->filePath(QStringLiteral("RandomNames.txt")));
    QCOMPARE(list.open(QIODevice::ReadOnly) ? list.readLine() : QByteArray(), (start + QStringLiteral(" , ") + end + QStringLiteral("\r\n")).toUtf8());
}

void TestFrmMain::countWrittenBack_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("written");

    QTest::newRow("not a number") << "abc" << "1";
    QTest::newRow("empty") << "" << "1";
    QTest::newRow("zero") << "0" << "1";
    QTest::newRow("negative") << "-5" << "1";
    QTest::newRow("lowest") << "1" << "1";
    QTest::newRow("highest") << "1000" << "1000";
    QTest::newRow("above the highest") << "1500" << "1000";
    QTest::newRow("beyond 16 bits") << "99999" << "1000";
    QTest::newRow("half rounds to even, down") << "2.5" << "2";
    QTest::newRow("half rounds to even, up") << "3.5" << "4";
    QTest::newRow("fraction rounds") << "7.6" << "8";
}

void TestFrmMain::countWrittenBack()
{
    QFETCH(QString, typed);
    QFETCH(QString, written);
    QVERIFY(open(SmallRoster));

    typeInto(field("txtNumNames"), typed);
    QTest::keyClick(field("txtNumNames"), Qt::Key_Return);

    QCOMPARE(field("txtNumNames")->text(), written);
    QCOMPARE(lineCount(m_window->listText()), written.toInt());
    QCOMPARE(m_window->state().NumNames, qint16(written.toInt()));
}

void TestFrmMain::clearKeepsPicks()
{
    QVERIFY(open(SmallRoster));
    const std::vector<QString> first = m_window->state().PickFirst;
    const std::vector<QString> last = m_window->state().PickLast;
    QVERIFY(!m_window->listText().isEmpty());

    QTest::mouseClick(button("cmdClear"), Qt::LeftButton);

    QCOMPARE(m_window->listText(), QString());
    QCOMPARE(m_window->state().NumNames, qint16(12));
    QVERIFY(m_window->state().PickFirst == first);
    QVERIFY(m_window->state().PickLast == last);
}

void TestFrmMain::listTextUsesCrLf_data()
{
    QTest::addColumn<QString>("text");

    QTest::newRow("lines") << QStringLiteral("Hank Aaron\r\nTy Cobb\r\n");
    QTest::newRow("no final line end") << QStringLiteral("Hank Aaron\r\nTy Cobb");
    QTest::newRow("empty") << QString();
    QTest::newRow("empty lines") << QStringLiteral("\r\n\r\n");
    QTest::newRow("non-breaking space kept") << QStringLiteral("Jos\u00e9\u00a0Mar\u00eda Cruz\r\n");
}

void TestFrmMain::listTextUsesCrLf()
{
    QFETCH(QString, text);
    QVERIFY(open(SmallRoster, false));

    m_window->setListText(text);

    QCOMPARE(m_window->listText(), text);
    QCOMPARE(m_window->listText().size(), text.size());
}

void TestFrmMain::generateWritesListOnce()
{
    QVERIFY(open(SmallRoster));
    auto *list = child<QPlainTextEdit>(QStringLiteral("txtPlayerNames"));
    typeInto(field("txtNumNames"), QStringLiteral("1000"));
    QSignalSpy changes(list, &QPlainTextEdit::textChanged);

    QTest::mouseClick(button("cmdGenerate"), Qt::LeftButton);

    QCOMPARE(lineCount(m_window->listText()), 1000);
    QCOMPARE(changes.count(), 1);
}

void TestFrmMain::waitCursorRestored_data()
{
    QTest::addColumn<QString>("command");
    QTest::newRow("Generate") << "cmdGenerate";
    QTest::newRow("Time Period") << "cmdSetTimePeriod";
}

void TestFrmMain::waitCursorRestored()
{
    QFETCH(QString, command);
    QVERIFY(open(SmallRoster));
    QVERIFY(m_random->busyAtLastGeneration); // the start sequence
    m_random->busyAtLastGeneration = false;

    QTest::mouseClick(button(command), Qt::LeftButton);

    QVERIFY(m_random->busyAtLastGeneration);
    QCOMPARE(QGuiApplication::overrideCursor(), nullptr);
}

void TestFrmMain::rosterFailureStopsStart_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QString>("reason");

    QTest::newRow("missing") << "missing" << "No such file";
    QTest::newRow("a folder") << "folder" << "it is a folder, not a file";
    QTest::newRow("empty") << "empty" << "the file is empty";
    QTest::newRow("no usable line") << "unusable" << "the file holds no usable player line";
}

void TestFrmMain::rosterFailureStopsStart()
{
    QFETCH(QString, kind);
    QFETCH(QString, reason);
    const QString path = m_dir->filePath(QStringLiteral("Kordane.txt"));
    if (kind == u"folder")
        QVERIFY(QDir().mkdir(path));
    if (kind == u"empty" || kind == u"unusable") {
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        if (kind == u"unusable")
            file.write("no commas here\r\n");
    }

    frmMain window(m_dir->path(), std::make_unique<FixedSeedRandom>(1));
    QVERIFY(!window.Form_Load());

    QCOMPARE(m_messages->messages.size(), 1);
    const MessageRecorder::Message message = m_messages->messages.first();
    QCOMPARE(message.icon, QMessageBox::Critical);
    QVERIFY2(message.text.contains(QDir::toNativeSeparators(path)), qPrintable(message.text));
    QVERIFY2(message.text.contains(reason), qPrintable(message.text));
    QVERIFY(!message.busyPointer);
    QVERIFY(!window.isVisible());
    QCOMPARE(QGuiApplication::overrideCursor(), nullptr);

    // The program itself ends with a failure status and shows no window.
    QVERIFY(runMainWindow({m_dir->path(), {}}) != 0);
    QCOMPARE(m_messages->messages.size(), 2);
}

void TestFrmMain::programFolderNotUtf8IsRefused()
{
    QVERIFY(runMainWindow(programDirectoryFrom("/opt/Quill\xFF" "ery")) != 0);

    QCOMPARE(m_messages->messages.size(), 1);
    QCOMPARE(m_messages->messages[0].icon, QMessageBox::Critical);
    QVERIFY(m_messages->messages[0].text.startsWith(u"Cannot use the program's folder /opt/Quill\\xFFery: "));
}

void TestFrmMain::skippedLinesWarnOnce()
{
    QVERIFY(open("Aaron,Hank,1954\r\nno commas\r\nCobb,Ty,1905\r\nStill,none\r\nTitle\x1B]0;x\x07,Bob,1900\r\n"));

    QCOMPARE(m_messages->messages.size(), 1);
    const MessageRecorder::Message message = m_messages->messages.first();
    QCOMPARE(message.icon, QMessageBox::Warning);
    QVERIFY2(message.text.contains(QStringLiteral("Kordane.txt line 2: fewer than two commas")), qPrintable(message.text));
    QVERIFY2(message.text.contains(QStringLiteral("Kordane.txt line 4")), qPrintable(message.text));
    QVERIFY2(message.text.contains(QStringLiteral("Kordane.txt line 5: the line holds a control character (U+001B)")),
             qPrintable(message.text));
    QVERIFY(m_window->isVisible());
    QCOMPARE(lineCount(m_window->listText()), 12);
}

void TestFrmMain::windows1252RosterOpensQuietly()
{
    QVERIFY(open("Pe\xF1" "a,Jos\xE9,1950\r\n"));

    QCOMPARE(m_messages->messages.size(), 0);
    QVERIFY(m_window->isVisible());
    QVERIFY(m_window->listText().startsWith(QStringLiteral("Jos\u00e9 Pe\u00f1a\r\n")));
}

void TestFrmMain::emptyPoolReported_data()
{
    QTest::addColumn<QByteArray>("roster");
    QTest::addColumn<QString>("press");
    QTest::addColumn<QString>("start");
    QTest::addColumn<QString>("end");
    QTest::addColumn<int>("messagesAtStart");
    QTest::addColumn<QString>("problem");

    QTest::newRow("no player in the period") << SmallRoster << "cmdSetTimePeriod" << "3000" << "3001" << 0
                                             << "No players between 3000 and 3001.";
    QTest::newRow("Enter after years without players") << SmallRoster << "Enter" << "3000" << "3001" << 0
                                                       << "No players between 3000 and 3001.";
    QTest::newRow("only placeholder first names") << QByteArray("Smith,Unknown,1950\r\nJones,Unknown,1960\r\n")
                                                  << "cmdSetTimePeriod" << "1871" << "2000" << 1
                                                  << "No player between 1871 and 2000 has a known first name.";
}

void TestFrmMain::emptyPoolReported()
{
    QFETCH(QByteArray, roster);
    QFETCH(QString, press);
    QFETCH(QString, start);
    QFETCH(QString, end);
    QFETCH(int, messagesAtStart);
    QFETCH(QString, problem);
    QVERIFY(open(roster));
    QCOMPARE(m_messages->messages.size(), messagesAtStart);

    typeInto(field("txtYear1"), end);
    typeInto(field("txtYear0"), start);
    if (press == u"Enter")
        QTest::keyClick(field("txtYear0"), Qt::Key_Return);
    else
        QTest::mouseClick(button(press), Qt::LeftButton);

    QCOMPARE(m_messages->messages.size(), messagesAtStart + 1);
    const MessageRecorder::Message message = m_messages->messages.last();
    QCOMPARE(message.icon, QMessageBox::Warning);
    QCOMPARE(message.text, problem);
    QVERIFY(!message.busyPointer);
    QCOMPARE(m_window->listText(), QString());
    QCOMPARE(m_window->state().NumNames, qint16(0));
    QCOMPARE(QGuiApplication::overrideCursor(), nullptr);
    // Save writes nothing, and says why.
    QTest::mouseClick(button("cmdSave"), Qt::LeftButton);
    QCOMPARE(m_messages->messages.last().text, QStringLiteral("There is no list to save: no name could be drawn. ") + problem);
    QVERIFY(!QFile::exists(m_dir->filePath(QStringLiteral("RandomNames.txt"))));
}

void TestFrmMain::layout_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QRect>("twips"); // left, top, width, height

    QTest::newRow("txtYear0") << "txtYear0" << QRect(360, 360, 855, 315);
    QTest::newRow("Label1") << "Label1" << QRect(1380, 420, 435, 315);
    QTest::newRow("txtYear1") << "txtYear1" << QRect(1980, 360, 855, 315);
    QTest::newRow("Label2") << "Label2" << QRect(180, 900, 1635, 435);
    QTest::newRow("txtNumNames") << "txtNumNames" << QRect(1980, 960, 855, 315);
    QTest::newRow("Image1") << "Image1" << QRect(180, 1500, 2640, 2340);
    QTest::newRow("Label3") << "Label3" << QRect(180, 4020, 2775, 315);
    QTest::newRow("cmdSetTimePeriod") << "cmdSetTimePeriod" << QRect(3060, 300, 1215, 495);
    QTest::newRow("cmdGenerate") << "cmdGenerate" << QRect(3060, 885, 1215, 495);
    QTest::newRow("cmdClear") << "cmdClear" << QRect(3060, 1485, 1215, 495);
    QTest::newRow("cmdCopyNames") << "cmdCopyNames" << QRect(3060, 2070, 1215, 495);
    QTest::newRow("cmdSave") << "cmdSave" << QRect(3060, 2655, 1215, 495);
    QTest::newRow("cmdHelp") << "cmdHelp" << QRect(3060, 3255, 1215, 495);
    QTest::newRow("cmdExit") << "cmdExit" << QRect(3060, 3840, 1215, 495);
    QTest::newRow("txtPlayerNames") << "txtPlayerNames" << QRect(4500, 300, 2655, 4095);
}

void TestFrmMain::layout()
{
    QFETCH(QString, name);
    QFETCH(QRect, twips);
    QVERIFY(open(SmallRoster));

    QWidget *control = child<QWidget>(name);
    QVERIFY(control);
    QCOMPARE(control->parentWidget(), m_window.get());
    QCOMPARE(control->geometry(),
             QRect(twips.x() / 15, twips.y() / 15, twips.width() / 15, twips.height() / 15));
}

void TestFrmMain::window()
{
    keepFixedSizeWindowsUnmaximized();
    QVERIFY(open(SmallRoster));

    QCOMPARE(m_window->windowTitle(), QStringLiteral("Quillery for the Orvale "));
    QCOMPARE(m_window->size(), QSize(493, 313));
    QCOMPARE(m_window->minimumSize(), QSize(493, 313));
    QCOMPARE(m_window->maximumSize(), QSize(493, 313));
    const Qt::WindowFlags flags = m_window->windowFlags();
    QVERIFY(flags.testFlag(Qt::WindowMinimizeButtonHint));
    QVERIFY(flags.testFlag(Qt::WindowCloseButtonHint));
    QVERIFY(!flags.testFlag(Qt::WindowMaximizeButtonHint));
    // A title bar drawn by Qt may still ask for maximize: the window stays as it was.
    m_window->windowHandle()->setWindowStates(Qt::WindowMaximized);
    QTRY_VERIFY(!m_window->windowHandle()->windowStates().testFlag(Qt::WindowMaximized));
    QVERIFY(m_window->isVisible());
    QCOMPARE(m_window->size(), QSize(493, 313));

    auto *list = child<QPlainTextEdit>(QStringLiteral("txtPlayerNames"));
    QVERIFY(!list->isReadOnly());
    QCOMPARE(list->verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);
    QVERIFY(list->verticalScrollBar()->isVisible());
    QVERIFY(button("cmdGenerate")->isDefault());
}

void TestFrmMain::captions_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QString>("accessKey");
    QTest::addColumn<bool>("bold");

    QTest::newRow("Label1") << "Label1" << "to" << "" << true;
    QTest::newRow("Label2") << "Label2" << "Number of Names 1 to 1000" << "" << true;
    QTest::newRow("Label3") << "Label3" << "By the Quillery developers" << "" << false;
    QTest::newRow("cmdSetTimePeriod") << "cmdSetTimePeriod" << "&Time Period " << "Alt+T" << false;
    QTest::newRow("cmdGenerate") << "cmdGenerate" << "&Generate" << "Alt+G" << false;
    QTest::newRow("cmdClear") << "cmdClear" << "&Clear Names" << "Alt+C" << false;
    QTest::newRow("cmdCopyNames") << "cmdCopyNames" << "Cop&y to Clip" << "Alt+Y" << false;
    QTest::newRow("cmdSave") << "cmdSave" << "&Save to File" << "Alt+S" << false;
    QTest::newRow("cmdHelp") << "cmdHelp" << "&Help!" << "Alt+H" << false;
    QTest::newRow("cmdExit") << "cmdExit" << "E&xit" << "Alt+X" << false;
}

void TestFrmMain::captions()
{
    QFETCH(QString, name);
    QFETCH(QString, caption);
    QFETCH(QString, accessKey);
    QFETCH(bool, bold);
    QVERIFY(open(SmallRoster, false));

    QWidget *control = child<QWidget>(name);
    QVERIFY(control);
    if (auto *pushButton = qobject_cast<QPushButton *>(control))
        QCOMPARE(pushButton->text(), caption);
    else
        QCOMPARE(qobject_cast<QLabel *>(control)->text(), caption);
    QCOMPARE(QKeySequence::mnemonic(caption).toString(), accessKey);
    QCOMPARE(control->font().bold(), bold);
    QCOMPARE(control->font().family(), QStringLiteral("MS Sans Serif"));
    QCOMPARE(control->font().pointSizeF(), 8.25);
}

void TestFrmMain::noCaptionClipped()
{
    QVERIFY(open(SmallRoster, false));

    for (QPushButton *pushButton : m_window->findChildren<QPushButton *>()) {
        QStyleOptionButton option;
        option.initFrom(pushButton);
        option.text = pushButton->text();
        const QRect room = pushButton->style()->subElementRect(QStyle::SE_PushButtonContents, &option, pushButton);
        const QFontMetrics metrics(pushButton->font());
        const QRect needed = metrics.boundingRect(room, Qt::AlignCenter | Qt::TextShowMnemonic, pushButton->text());
        QVERIFY2(room.contains(needed), qPrintable(pushButton->objectName()));
    }
    for (QLabel *label : m_window->findChildren<QLabel *>()) {
        if (label->text().isEmpty())
            continue;
        const QRect room = label->contentsRect();
        const QFontMetrics metrics(label->font());
        const QRect needed = metrics.boundingRect(room, int(label->alignment()) | Qt::TextWordWrap, label->text());
        QVERIFY2(room.contains(needed), qPrintable(label->objectName()));
    }
    for (QLineEdit *lineEdit : m_window->findChildren<QLineEdit *>()) {
        const QFontMetrics metrics(lineEdit->font());
        QVERIFY2(metrics.horizontalAdvance(QStringLiteral("99999")) < lineEdit->width() - 8,
                 qPrintable(lineEdit->objectName()));
        QVERIFY2(metrics.height() <= lineEdit->height() - 4, qPrintable(lineEdit->objectName()));
    }
}

void TestFrmMain::accessibleNames_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("accessibleName");
    QTest::addColumn<QString>("labelledBy");

    QTest::newRow("start year") << "txtYear0" << "Start year" << "";
    QTest::newRow("end year") << "txtYear1" << "End year" << "";
    QTest::newRow("count") << "txtNumNames" << "Number of names" << "Label2";
    QTest::newRow("list") << "txtPlayerNames" << "Generated names" << "";
    QTest::newRow("picture") << "Image1" << "Picture of a baseball" << "";
}

void TestFrmMain::accessibleNames()
{
    QFETCH(QString, name);
    QFETCH(QString, accessibleName);
    QFETCH(QString, labelledBy);
    QVERIFY(open(SmallRoster, false));

    QCOMPARE(child<QWidget>(name)->accessibleName(), accessibleName);
    const auto labels = QAccessible::queryAccessibleInterface(child<QWidget>(name))->relations(QAccessible::Label);
    QCOMPARE(labels.isEmpty() ? QString() : labels.first().first->object()->objectName(), labelledBy);
}

void TestFrmMain::pictures()
{
    QVERIFY(open(SmallRoster));

    auto *image = child<QLabel>(QStringLiteral("Image1"));
    QCOMPARE(image->pixmap().size(), QSize(176, 156));
    QCOMPARE(image->frameShape(), QFrame::NoFrame);

    const QImage icon(QStringLiteral(":/quillery-icon.png"));
    QCOMPARE(icon.size(), QSize(16, 16));
    QCOMPARE(icon.format(), QImage::Format_Indexed8);
    QVERIFY(icon.colorCount() <= 256);
    QVERIFY(!QApplication::windowIcon().isNull());
    const QList<QSize> sizes = {{16, 16}, {32, 32}, {48, 48}, {64, 64}, {128, 128}, {256, 256}};
    QCOMPARE(QApplication::windowIcon().availableSizes(), sizes);
    QCOMPARE(m_window->windowIcon().cacheKey(), QApplication::windowIcon().cacheKey());
}

void TestFrmMain::lightFaceOnDarkDesktop_data()
{
    QTest::addColumn<bool>("help");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QColor>("text");

    QTest::newRow("count field") << false << "txtNumNames" << QColor(Qt::black);
    QTest::newRow("button") << false << "cmdGenerate" << QColor(Qt::black);
    QTest::newRow("help version") << true << "Label2" << QColor(255, 0, 0);
    QTest::newRow("help step") << true << "Label1_0" << QColor(0, 0, 255);
}

void TestFrmMain::lightFaceOnDarkDesktop()
{
    QFETCH(bool, help);
    QFETCH(QString, name);
    QFETCH(QColor, text);
    const QPalette before = QApplication::palette();
    const auto restore = qScopeGuard([&before] { QApplication::setPalette(before); });
    QApplication::setPalette(QPalette(QColor(45, 45, 45)));
    QVERIFY(open(SmallRoster, false));
    frmHelp helpWindow(m_window.get());

    const QWidget *control = help ? helpWindow.findChild<QWidget *>(name) : child<QWidget>(name);
    QCOMPARE(control->palette().color(control->foregroundRole()), text);
    QVERIFY(control->palette().color(control->backgroundRole()).lightness() >= 240);
}

bool TestFrmMain::pressInListMenu(Qt::Key accessKey)
{
    return withListMenu(QStringLiteral("Menu key"), [accessKey](QMenu *menu) { QTest::keyClick(menu, accessKey); });
}

void TestFrmMain::listMenuEntries_data()
{
    QTest::addColumn<QString>("how");
    QTest::newRow("right-click") << "right-click";
    QTest::newRow("Shift+F10") << "Shift+F10";
    QTest::newRow("Menu key") << "Menu key";
}

void TestFrmMain::listMenuEntries()
{
    QFETCH(QString, how);
    QVERIFY(open(SmallRoster));
    QStringList names;
    QStringList ours; // the two entries: name, description, whether tickable and ticked
    const auto look = [&names, &ours](QMenu *menu) {
        names.clear(), ours.clear();
        // A screen reader finds the open menu among the application's children.
        QAccessibleInterface *application = QAccessible::queryAccessibleInterface(qApp);
        QCOMPARE(application->child(application->childCount() - 1)->object(), menu);
        QAccessibleInterface *entries = QAccessible::queryAccessibleInterface(menu);
        for (int i = 0; i < entries->childCount(); ++i) {
            QAccessibleInterface *entry = entries->child(i);
            names << entry->text(QAccessible::Name);
            if (i >= entries->childCount() - 2) {
                QVERIFY(entry->isValid() && entry->parent()->object() == menu);
                QCOMPARE(entry->role(), QAccessible::CheckBox);
                ours << entry->text(QAccessible::Name) + u'|' + entry->text(QAccessible::Description)
                                + QLatin1String(entry->state().checkable ? "|tickable" : "|")
                                + QLatin1String(entry->state().checked ? "|ticked" : "|");
            }
        }
    };
    QVERIFY(withListMenu(how, look));
    QVERIFY2(names.contains(QStringLiteral("Delete")), qPrintable(names.join(u'|'))); // a standard entry
    const QString madeUp = QStringLiteral("Made-up Names Only|No name in the list is a real player's full name|tickable|");
    QCOMPARE(ours, QStringList({madeUp, "No Repeated Names|No name appears twice in the list or is already in the list file|tickable|"}));

    // Every later opening reads the same.
    QVERIFY(pressInListMenu(Qt::Key_N));
    QVERIFY(withListMenu(how, look));
    QCOMPARE(ours, QStringList({madeUp, "No Repeated Names|No name appears twice in the list or is already in the list file|tickable|ticked"}));
}

void TestFrmMain::rulesShapeTheList_data()
{
    QTest::addColumn<QByteArray>("roster");
    QTest::addColumn<QList<int>>("accessKeys");
    QTest::addColumn<QString>("count");
    QTest::addColumn<int>("lines");
    QTest::addColumn<QString>("message"); // after Generate; empty: none
    QTest::addColumn<QString>("saveRefused"); // what Save then says; empty: it saves

    // 1871 to 2000: six players, so 36 names, 30 of them made up.
    QTest::newRow("made-up only") << SmallRoster << QList<int>{Qt::Key_M} << "300" << 300 << "" << "";
    QTest::newRow("no repeats, short by 64")
            << SmallRoster << QList<int>{Qt::Key_N} << "100" << 36
            << "Only 36 different names can be made from the players between 1871 and 2000; 100 were asked for. "
               "The list holds all 36." << "";
    QTest::newRow("both, exactly enough") << SmallRoster << QList<int>{Qt::Key_M, Qt::Key_N} << "30" << 30 << "" << "";
    QTest::newRow("both, short by one")
            << SmallRoster << QList<int>{Qt::Key_N, Qt::Key_M} << "31" << 30
            << "Only 30 different names can be made from the players between 1871 and 2000; 31 were asked for. "
               "The list holds all 30." << "";
    QTest::newRow("made-up only, none to make, keeps the list but never saves it")
            << QByteArray("Solo,Sam,1950\r\n") << QList<int>{Qt::Key_M} << "5" << 12
            << "The only name that can be made from the players between 1871 and 2000 is a real player's name."
            << "There is no list to save: no name could be drawn. The only name that can be made from the players "
               "between 1871 and 2000 is a real player's name.";
    QTest::newRow("turned on after the draw") << SmallRoster << QList<int>{Qt::Key_N} << "" << 12 << ""
            << "There is no list to save under \"No Repeated Names\": the list shown was drawn before it was "
               "turned on. Generate makes a new one.";
}

void TestFrmMain::rulesShapeTheList()
{
    QFETCH(QByteArray, roster);
    QFETCH(QList<int>, accessKeys);
    QFETCH(QString, count);
    QFETCH(int, lines);
    QFETCH(QString, message);
    QFETCH(QString, saveRefused);
    QVERIFY(open(roster));
    const QString before = m_window->listText();
    for (int key : accessKeys)
        QVERIFY(pressInListMenu(Qt::Key(key)));

    if (!count.isEmpty()) {
        typeInto(field("txtNumNames"), count);
        QTest::keyClick(field("txtNumNames"), Qt::Key_Return);
    }

    const QStringList list = m_window->listText().split(QStringLiteral("\r\n"), Qt::SkipEmptyParts);
    QCOMPARE(list.size(), lines);
    const NameRules rules = m_window->nameRules();
    if (!message.isEmpty() && rules.fictional && !rules.unique)
        QCOMPARE(m_window->listText(), before);
    if (rules.unique && !count.isEmpty())
        QCOMPARE(QSet<QString>(list.begin(), list.end()).size(), lines);
    if (rules.fictional && message.isEmpty()) {
        const MainState &state = m_window->state();
        for (int i = 0; i < state.NameCount; ++i)
            QVERIFY(!list.contains(state.FirstNames[size_t(i)] + u' ' + state.LastNames[size_t(i)]));
    }
    QCOMPARE(m_messages->messages.isEmpty() ? QString() : m_messages->messages.last().text, message);

    // A list that the rules in force did not draw is never saved.
    QTest::mouseClick(button("cmdSave"), Qt::LeftButton);
    QCOMPARE(QFile::exists(m_dir->filePath(QStringLiteral("RandomNames.txt"))), saveRefused.isEmpty());
    if (!saveRefused.isEmpty())
        QCOMPARE(m_messages->messages.last().text, saveRefused);
}

void TestFrmMain::listFileBesideTheProgram_data()
{
    QTest::addColumn<QByteArray>("listFile"); // "/": a folder in its place
    QTest::addColumn<bool>("noRepeats");
    QTest::addColumn<int>("lines");
    QTest::addColumn<QString>("message"); // after Generate, %1 the list file's path; empty: none
    QTest::addColumn<QString>("saveMessage");

    QByteArray every = "1871 , 2000\r\n";
    for (const char *last : {"Aaron", "Baker", "Cobb", "Doe", "Early", "Late"}) {
        for (const char *first : {"Hank", "Frank", "Ty", "John", "Ed", "Lou"})
            every += QByteArray(last) + ',' + first + "\r\n";
    }
    const QString shortMessage = "Only 34 of the 36 different names that can be made from the players between 1871 and "
                                 "2000 are not already in the list file %1; 100 were asked for. The list holds all 34.";
    const QString noneLeft = "All 36 different names that can be made from the players between 1871 and 2000 are "
                             "already in the list file %1.";
    const QString unreadable = "Cannot read the list file %1: it is a folder, not a file. No name was drawn, as No "
                               "Repeated Names leaves out the names it holds.";
    const QString saved = ListFileSavedMessage.toString();
    QTest::newRow("two names in it, both left out")
            << QByteArray("1871 , 2000\r\nAaron,Hank\r\nHank Cobb\r\nBaker,Ty\r\n\r\n\r\n") << true << 34
            << shortMessage << saved;
    QTest::newRow("every name in it") << every << true << 0 << noneLeft
                                      << "There is no list to save: no name could be drawn. " + noneLeft;
    QTest::newRow("a folder in its place") << QByteArray("/") << true << 0 << unreadable
                                           << "There is no list to save: no name could be drawn. " + unreadable;
    QTest::newRow("a folder in its place, entry off") << QByteArray("/") << false << 100 << "" << "";
}

void TestFrmMain::listFileBesideTheProgram()
{
    QFETCH(QByteArray, listFile);
    QFETCH(bool, noRepeats);
    QFETCH(int, lines);
    QFETCH(QString, message);
    QFETCH(QString, saveMessage);
    QVERIFY(open(SmallRoster));
    const QString path = m_dir->filePath(QStringLiteral("RandomNames.txt"));
    if (listFile == "/") {
        QVERIFY(QDir(m_dir->path()).mkdir(QStringLiteral("RandomNames.txt")));
    } else {
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly) && file.write(listFile) == listFile.size());
    }
    if (noRepeats)
        QVERIFY(pressInListMenu(Qt::Key_N));

    typeInto(field("txtNumNames"), QStringLiteral("100"));
    QTest::keyClick(field("txtNumNames"), Qt::Key_Return);
    const QStringList list = m_window->listText().split(QStringLiteral("\r\n"), Qt::SkipEmptyParts);
    QCOMPARE(list.size(), lines);
    QVERIFY(!noRepeats || (!list.contains(QStringLiteral("Hank Aaron")) && !list.contains(QStringLiteral("Ty Baker"))));
    if (noRepeats)
        QCOMPARE(QSet<QString>(list.begin(), list.end()).size(), lines);
    const QString shown = m_messages->messages.isEmpty() ? QString() : m_messages->messages.last().text;
    QCOMPARE(shown, message.isEmpty() ? message : message.arg(QDir::toNativeSeparators(path)));
    if (saveMessage.isEmpty())
        return;
    button("cmdSave")->click();
    QCOMPARE(m_messages->messages.last().text, saveMessage.arg(QDir::toNativeSeparators(path)));
    // Saved again, its names would be in the list file twice.
    if (noRepeats && saveMessage == ListFileSavedMessage.toString()) {
        button("cmdSave")->click();
        QCOMPARE(m_messages->messages.last().text,
                 "There is no list to save under \"No Repeated Names\": the list shown has been saved to the list "
                 "file already. Generate makes a new one.");
    }
}

void TestFrmMain::choicesRememberedAcrossRestart()
{
    QVERIFY(open(SmallRoster, false));
    m_window.reset();
    auto start = [this](NameRules startRules) {
        m_window = std::make_unique<frmMain>(m_dir->path(), std::make_unique<FixedSeedRandom>(3));
        m_window->setSettingsFile(settingsPath());
        m_window->setStartRules(startRules);
        return m_window->Form_Load() && showWindow();
    };
    QVERIFY(start({}));
    QVERIFY(pressInListMenu(Qt::Key_M));
    QVERIFY(pressInListMenu(Qt::Key_N));
    QVERIFY(pressInListMenu(Qt::Key_M));

    QVERIFY(start({}));
    QVERIFY(m_window->nameRules() == NameRules({.fictional = false, .unique = true}));
    // A choice from the command line holds for the run and is not remembered.
    // Nor when the other entry is toggled during that run.
    QVERIFY(start({.fictional = true}));
    QVERIFY(m_window->nameRules() == NameRules({.fictional = true, .unique = true}));
    QVERIFY(pressInListMenu(Qt::Key_N));
    QVERIFY(start({}));
    QVERIFY(m_window->nameRules() == NameRules({.fictional = false, .unique = false}) && m_messages->messages.isEmpty());
}

namespace {

QByteArray utf16WithMark(const QString &text)
{
    QByteArray bytes("\xFF\xFE");
    for (QChar c : text)
        bytes += char(c.unicode() & 0xFF), bytes += char(c.unicode() >> 8);
    return bytes;
}

const QString CannotReadLine = QStringLiteral("Cannot read line %2 of the settings file %1: %3. The choices its other "
                                              "lines give are used, and the file is left as it is: a choice changed in "
                                              "the list's menu holds until the program ends.");
const QString CannotRememberLine = QStringLiteral("Cannot remember the choice in %1: line %2 cannot be read (%3), so "
                                                  "the file is left as it is. The choice holds until the program ends.");
const QString CannotUse = QStringLiteral("Cannot use the settings file %1: %2. No remembered choice is read, and the "
                                         "file is left as it is: a choice changed in the list's menu holds until the "
                                         "program ends.");

} // namespace

void TestFrmMain::settingsFileRead_data()
{
    QTest::addColumn<QString>("kind"); // what stands at the file's place; empty: a file holding ini
    QTest::addColumn<QByteArray>("ini");
    QTest::addColumn<bool>("fictional");
    QTest::addColumn<bool>("unique");
    QTest::addColumn<QString>("message"); // at start: %1 the file, %2 the line, %3 why
    QTest::addColumn<QByteArray>("after"); // the file after No Repeated Names is toggled
    QTest::addColumn<QString>("toggleMessage");

    const QByteArray badValue("[Names]\nMadeUpNamesOnly=yes\nNoRepeatedNames=true\n");
    const QString yes = QStringLiteral("Names/MadeUpNamesOnly holds \"yes\", neither true nor false");
    QTest::newRow("both on") << "" << QByteArray("[Names]\nMadeUpNamesOnly=true\nNoRepeatedNames=true\n") << true
                             << true << "" << QByteArray("[Names]\nMadeUpNamesOnly=true\nNoRepeatedNames=false\n") << "";
    QTest::newRow("a value neither true nor false") << "" << badValue << false << true
                                                    << CannotReadLine.arg("%1", "2", yes) << badValue
                                                    << CannotRememberLine.arg("%1", "2", yes);
    const QByteArray overridden("[Names]\nMadeUpNamesOnly=\xE2\x80\xAE" "eurt\n");
    const QString shown = QStringLiteral("Names/MadeUpNamesOnly holds \"<U+202E>eurt\", neither true nor false");
    QTest::newRow("a direction control in a value, shown as a code") << "" << overridden << false << false
                                                                     << CannotReadLine.arg("%1", "2", shown) << overridden
                                                                     << CannotRememberLine.arg("%1", "2", shown);
    const QByteArray stray("[Names]\r\nMadeUpNamesOnly=true\r\n\x01stray\r\n");
    QTest::newRow("a stray line: what can be read holds, the file is never rewritten")
            << "" << stray << true << false << CannotReadLine.arg("%1", "3", "it holds a control character") << stray
            << CannotRememberLine.arg("%1", "3", "it holds a control character");
    QTest::newRow("comments and other groups are kept")
            << "" << QByteArray("; mine\n# mine too\n[Other]\nKey = x\n[Names]\nMadeUpNamesOnly = true\n") << true
            << false << "" << QByteArray("; mine\n# mine too\n[Other]\nKey = x\n[Names]\nMadeUpNamesOnly = true\nNoRepeatedNames=true\n")
            << "";
    QTest::newRow("UTF-16 as Notepad saves it") << "" << utf16WithMark("[Names]\r\nMadeUpNamesOnly=true\r\n") << true
                                                << false << ""
                                                << utf16WithMark("[Names]\r\nMadeUpNamesOnly=true\r\nNoRepeatedNames=true\r\n")
                                                << "";
    QTest::newRow("through a link to a file, which stays a link")
            << "file link" << QByteArray("[Names]\nMadeUpNamesOnly=true\n") << true << false << ""
            << QByteArray("[Names]\nMadeUpNamesOnly=true\nNoRepeatedNames=true\n") << "";
#ifdef Q_OS_UNIX
    const QString notRegular = CannotUse.arg("%1", "it is not a regular file");
    QTest::newRow("a FIFO: the window opens at once") << "fifo" << QByteArray() << false << false << notRegular
                                                      << QByteArray() << "";
    QTest::newRow("a link to a device, never replaced") << "device link" << QByteArray() << false << false
                                                        << notRegular << QByteArray() << "";
    QTest::newRow("a loop of links") << "loop" << QByteArray() << false << false
                                     << CannotUse.arg("%1", "Too many levels of symbolic links") << QByteArray() << "";
    QTest::newRow("a folder") << "folder" << QByteArray() << false << false
                              << CannotUse.arg("%1", "it is a folder, not a file") << QByteArray() << "";
#endif
}

void TestFrmMain::settingsFileRead()
{
    QFETCH(QString, kind);
    QFETCH(QByteArray, ini);
    QFETCH(bool, fictional);
    QFETCH(bool, unique);
    QFETCH(QString, message);
    QFETCH(QByteArray, after);
    QFETCH(QString, toggleMessage);
    const QString path = settingsPath();
    const QString written = kind == u"file link" ? m_dir->filePath(QStringLiteral("real.ini")) : path;
    QFile file(written);
    if (kind.isEmpty() || kind == u"file link")
        QVERIFY(file.open(QIODevice::WriteOnly) && file.write(ini) == ini.size() && file.flush());
    if (kind == u"file link")
        QVERIFY(QFile::link(written, path));
#ifdef Q_OS_UNIX
    if (kind == u"fifo")
        QCOMPARE(::mkfifo(QFile::encodeName(path).constData(), 0600), 0);
    if (kind == u"device link")
        QVERIFY(QFile::link(QStringLiteral("/dev/null"), path));
    if (kind == u"loop")
        QVERIFY(QFile::link(path, path));
    if (kind == u"folder")
        QVERIFY(QDir().mkpath(path));
#endif
    const QFileInfo before(path);
    QVERIFY(open(SmallRoster, false));
    m_window = std::make_unique<frmMain>(m_dir->path(), std::make_unique<FixedSeedRandom>(3));
    m_window->setSettingsFile(path);

    QVERIFY(m_window->Form_Load());

    QVERIFY(m_window->nameRules() == NameRules({.fictional = fictional, .unique = unique}));
    const auto lastMessage = [this] { return m_messages->messages.isEmpty() ? QString() : m_messages->messages.last().text; };
    QCOMPARE(lastMessage(), message.arg(QDir::toNativeSeparators(path)));
    // Every message stays true on disk after a toggle.
    m_messages->messages.clear();
    QVERIFY(showWindow() && pressInListMenu(Qt::Key_N));
    QCOMPARE(lastMessage(), toggleMessage.arg(QDir::toNativeSeparators(path)));
    const QFileInfo now(path);
    QCOMPARE(now.isSymLink(), before.isSymLink());
    QCOMPARE(now.isFile(), before.isFile());
    QCOMPARE(now.symLinkTarget(), before.symLinkTarget());
    if (before.isFile()) {
        file.close();
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.readAll(), after);
    }
}

void TestFrmMain::savedMessageNamesAFolderAwayFromTheProgram()
{
    // The system layout: the roster in share/quillery/, the list in the documents folder.
    const QDir root(m_dir->path());
    QVERIFY(root.mkpath(QStringLiteral("bin")) && root.mkpath(QStringLiteral("share/quillery")));
    QVERIFY(QFile::copy(QStringLiteral(QUILLERY_ROSTER_DIR "/Kordane.txt"), root.filePath(QStringLiteral("share/quillery/Kordane.txt"))));
    // The documents folder follows HOME only where no user-dirs file names it.
    const QByteArray home = qgetenv("HOME");
    const QByteArray config = qgetenv("XDG_CONFIG_HOME");
    const auto restore = qScopeGuard([&] {
        qputenv("HOME", home);
        config.isNull() ? qunsetenv("XDG_CONFIG_HOME") : qputenv("XDG_CONFIG_HOME", config);
    });
    qputenv("HOME", root.path().toUtf8());
    qputenv("XDG_CONFIG_HOME", root.filePath(QStringLiteral("config")).toUtf8());
    m_window = std::make_unique<frmMain>(root.filePath(QStringLiteral("bin")), std::make_unique<FixedSeedRandom>(3));
    QVERIFY(m_window->Form_Load());

    QTest::mouseClick(button("cmdSave"), Qt::LeftButton);

    const QString path = QDir::toNativeSeparators(root.filePath(QStringLiteral("Documents/RandomNames.txt")));
    QCOMPARE(m_messages->messages.value(0).text, QStringLiteral("File %1 Successfully Written!").arg(path));
    QVERIFY(QFile::exists(path));
}

int main(int argc, char *argv[])
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    TestFrmMain test;
    return QTest::qExec(&test, argc, argv);
}

#include "test_frmmain.moc"
