// SPDX-FileCopyrightText: 2026 The Quillery developers
// SPDX-License-Identifier: GPL-3.0-or-later

// Saving the list to RandomNames.txt, copying it to the clipboard, and the
// help window, driven from the main window the way a person would.

#include "generate/randomsource.h"
#include "gui/application.h"
#include "gui/frmhelp.h"
#include "gui/frmmain.h"
#include "gui/messages.h"

#include <QApplication>
#include <QClipboard>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <chrono>
#include <memory>
#include <thread>

#include <sys/file.h>

namespace {

const QByteArray Roster = "Aaron,Hank,1954\r\n"
                          "Baker,Frank,1911\r\n"
                          "Cobb,Ty,1905\r\n"
                          "O'Doul,Lefty,1919\r\n"
                          "Ruth,\"Babe\",1914\r\n";

const QString SavedMessage = QStringLiteral("File RandomNames.txt Successfully Written!");
const QString NoListMessage = QStringLiteral("There is no list to save. Generate makes a new one.");
const QString TooLargeMessage = QStringLiteral("Name list is too large. It must be cleared before proceeding.");

QByteArray readAll(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

} // namespace

class TestListOutput : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void saveAppendsHeaderPicksAndTwoEmptyLines();
    void twoSavesAppendTwoIdenticalBlocks();
    void saveWritesPicksNotTheField_data();
    void saveWritesPicksNotTheField();
    void headerNamesThePeriodOfThePicks();
    void failedSaveReportsAndLaterSaveWorks();
    void saveWaitingForALockShowsTheBusyPointer();
    void copyPutsCrLfListOnClipboard();
    void copySizeLimit_data();
    void copySizeLimit();
    void helpIsModalAndFresh();

private:
    bool open();
    QString listPath() const { return m_dir->filePath(QStringLiteral("RandomNames.txt")); }
    QByteArray expectedBlock(const QString &header) const;
    QPushButton *button(const QString &name) { return m_window->findChild<QPushButton *>(name); }
    QLineEdit *field(const QString &name) { return m_window->findChild<QLineEdit *>(name); }
    QPlainTextEdit *list() { return m_window->findChild<QPlainTextEdit *>(QStringLiteral("txtPlayerNames")); }

    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<MessageRecorder> m_messages;
    std::unique_ptr<frmMain> m_window;
};

void TestListOutput::initTestCase()
{
    prepareApplication();
}

void TestListOutput::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
    m_messages = std::make_unique<MessageRecorder>();
}

void TestListOutput::cleanup()
{
    m_window.reset();
    m_messages.reset();
    m_dir.reset();
}

bool TestListOutput::open()
{
    QFile file(m_dir->filePath(QStringLiteral("Kordane.txt")));
    if (!file.open(QIODevice::WriteOnly) || file.write(Roster) != Roster.size())
        return false;
    file.close();
    m_window = std::make_unique<frmMain>(m_dir->path(), std::make_unique<FixedSeedRandom>(11));
    if (!m_window->Form_Load())
        return false;
    m_window->show();
    m_window->activateWindow();
    return QTest::qWaitForWindowActive(m_window.get());
}

QByteArray TestListOutput::expectedBlock(const QString &header) const
{
    const MainState &state = m_window->state();
    QString block = header + QStringLiteral("\r\n");
    for (int i = 1; i <= state.NumNames; ++i)
        block += state.PickLast[size_t(i)] + u',' + state.PickFirst[size_t(i)] + QStringLiteral("\r\n");
    return (block + QStringLiteral("\r\n\r\n")).toUtf8();
}

void TestListOutput::saveAppendsHeaderPicksAndTwoEmptyLines()
{
    QVERIFY(open());
    const QStringList shown = m_window->listText().split(QStringLiteral("\r\n"), Qt::SkipEmptyParts);
    QCOMPARE(shown.size(), 12);

    // An access key presses its button after a short animation.
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_S, Qt::AltModifier);
    QTRY_VERIFY(QFile::exists(listPath()));

    const QByteArray written = readAll(listPath());
    QCOMPARE(written, expectedBlock(QStringLiteral("1871 , 2000")));
    // Each saved line is the shown line with its names turned round.
    const QList<QByteArray> lines = written.split('\n');
    for (int i = 0; i < 12; ++i) {
        const QList<QByteArray> names = lines[i + 1].chopped(1).split(',');
        QCOMPARE(QString::fromUtf8(names[1] + ' ' + names[0]), shown[i]);
    }
    QCOMPARE(m_messages->messages.size(), 1);
    QCOMPARE(m_messages->messages[0].text, SavedMessage);
    QCOMPARE(m_messages->messages[0].icon, QMessageBox::NoIcon);
}

void TestListOutput::twoSavesAppendTwoIdenticalBlocks()
{
    QVERIFY(open());
    QFile earlier(listPath());
    QVERIFY(earlier.open(QIODevice::WriteOnly));
    earlier.write("earlier lists\r\n");
    earlier.close();

    button("cmdSave")->click();
    button("cmdSave")->click();

    const QByteArray block = expectedBlock(QStringLiteral("1871 , 2000"));
    QCOMPARE(readAll(listPath()), "earlier lists\r\n" + block + block);
    QCOMPARE(m_messages->messages.size(), 2);
}

void TestListOutput::saveWritesPicksNotTheField_data()
{
    QTest::addColumn<bool>("clear");
    QTest::addColumn<QString>("message");
    QTest::newRow("after Clear Names nothing") << true << NoListMessage;
    QTest::newRow("after editing the list the picks") << false << SavedMessage;
}

void TestListOutput::saveWritesPicksNotTheField()
{
    QFETCH(bool, clear);
    QFETCH(QString, message);
    QVERIFY(open());
    if (clear)
        QTest::mouseClick(button("cmdClear"), Qt::LeftButton);
    // Typing into an emptied list brings no list back.
    list()->setFocus();
    QTest::keyClicks(list(), QStringLiteral("Typed Name"));

    QTest::mouseClick(button("cmdSave"), Qt::LeftButton);

    QCOMPARE(readAll(listPath()), clear ? QByteArray() : expectedBlock(QStringLiteral("1871 , 2000")));
    QCOMPARE(QFile::exists(listPath()), !clear);
    QCOMPARE(m_messages->messages.size(), 1);
    QCOMPARE(m_messages->messages[0].text, message);
}

void TestListOutput::headerNamesThePeriodOfThePicks()
{
    QVERIFY(open());
    field("txtYear1")->setFocus();
    field("txtYear1")->end(false);
    QTest::keyClicks(field("txtYear1"), QStringLiteral("abc"));
    QCOMPARE(field("txtYear1")->text(), QStringLiteral("2000abc"));

    button("cmdSave")->click();

    QVERIFY(readAll(listPath()).startsWith("1871 , 2000\r\n"));
}

void TestListOutput::saveWaitingForALockShowsTheBusyPointer()
{
    QVERIFY(open());
    QFile other(listPath());
    QVERIFY(other.open(QIODevice::WriteOnly));
    QCOMPARE(::flock(other.handle(), LOCK_EX), 0);
    bool busyWhileWaiting = false;
    std::thread otherProgram([&] {
        std::this_thread::sleep_for(std::chrono::milliseconds(300));
        // The window's thread sleeps between its tries for the lock meanwhile.
        const QCursor *cursor = QGuiApplication::overrideCursor();
        busyWhileWaiting = cursor && cursor->shape() == Qt::WaitCursor;
        ::flock(other.handle(), LOCK_UN);
    });

    button("cmdSave")->click();
    otherProgram.join();

    QVERIFY(busyWhileWaiting);
    QCOMPARE(QGuiApplication::overrideCursor(), nullptr);
    QCOMPARE(m_messages->messages.size(), 1);
    QCOMPARE(m_messages->messages[0].text, SavedMessage);
}

void TestListOutput::failedSaveReportsAndLaterSaveWorks()
{
    QVERIFY(open());
    QVERIFY(QDir(m_dir->path()).mkdir(QStringLiteral("RandomNames.txt")));

    button("cmdSave")->click();

    QCOMPARE(m_messages->messages.size(), 1);
    const MessageRecorder::Message report = m_messages->messages[0];
    QCOMPARE(report.icon, QMessageBox::Critical);
    QVERIFY2(report.text.contains(QDir::toNativeSeparators(listPath())), qPrintable(report.text));
    QVERIFY2(report.text.contains(QStringLiteral("it is a folder, not a file")), qPrintable(report.text));

    QVERIFY(QDir(m_dir->path()).rmdir(QStringLiteral("RandomNames.txt")));
    button("cmdSave")->click();
    QCOMPARE(m_messages->messages.size(), 2);
    QCOMPARE(m_messages->messages[1].text, SavedMessage);
    QCOMPARE(readAll(listPath()), expectedBlock(QStringLiteral("1871 , 2000")));
}

void TestListOutput::copyPutsCrLfListOnClipboard()
{
    QVERIFY(open());
    const QString before = m_window->listText();
    QVERIFY(before.endsWith(QStringLiteral("\r\n")));

    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Y, Qt::AltModifier);

    QTRY_COMPARE(QGuiApplication::clipboard()->text(), before);
    QCOMPARE(m_window->listText(), before);
    QVERIFY(!list()->textCursor().hasSelection());
    QCOMPARE(list()->textCursor().position(), 0);
    QVERIFY(m_messages->messages.isEmpty());
}

void TestListOutput::copySizeLimit_data()
{
    QTest::addColumn<int>("length");
    QTest::addColumn<bool>("kept");
    QTest::newRow("empty") << 0 << true;
    QTest::newRow("20000 characters") << 20000 << true;
    QTest::newRow("20001 characters") << 20001 << false;
}

void TestListOutput::copySizeLimit()
{
    QFETCH(int, length);
    QFETCH(bool, kept);
    QVERIFY(open());
    // Lines of 98 letters and CR LF: the CR LF counts as two characters.
    QString text;
    while (text.size() + 100 <= length)
        text += QString(98, u'x') + QStringLiteral("\r\n");
    text += QString(length - text.size(), u'y');
    QCOMPARE(text.size(), length);
    m_window->setListText(text);
    QCOMPARE(m_window->listText().size(), length);
    QGuiApplication::clipboard()->setText(QStringLiteral("something older"));

    button("cmdCopyNames")->click();

    QCOMPARE(QGuiApplication::clipboard()->text(), text);
    QCOMPARE(m_window->listText(), kept ? text : QString());
    QCOMPARE(m_messages->messages.size(), kept ? 0 : 1);
    if (!kept)
        QCOMPARE(m_messages->messages[0].text, TooLargeMessage);
}

void TestListOutput::helpIsModalAndFresh()
{
    QVERIFY(open());
    QList<bool> seen; // whether each showing put up a help window
    bool mainTookInput = false;
    const QString listBefore = m_window->listText();
    auto inspect = [&] {
        QWidget *modal = QApplication::activeModalWidget();
        seen << (qobject_cast<frmHelp *>(modal) != nullptr);
        if (!seen.last())
            return;
        // A click on the main window's Clear button, sent through the window
        // system as a real one is, must not reach it.
        QPushButton *clear = button("cmdClear");
        QTest::mouseClick(m_window->windowHandle(), Qt::LeftButton, {},
                          clear->mapTo(m_window.get(), clear->rect().center()));
        mainTookInput = m_window->listText() != listBefore;
        QTest::keyClick(modal, Qt::Key_Return);
    };
    for (int round = 0; round < 2; ++round) {
        QTimer::singleShot(0, m_window.get(), inspect);
        button("cmdHelp")->click();
        QCOMPARE(QApplication::activeModalWidget(), nullptr);
    }

    QCOMPARE(seen.size(), 2);
    QVERIFY(seen[0]);
    QVERIFY(seen[1]);
    QVERIFY(!mainTookInput);
    QVERIFY(m_window->findChildren<frmHelp *>().isEmpty());
}

int main(int argc, char *argv[])
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    TestListOutput test;
    return QTest::qExec(&test, argc, argv);
}

#include "test_listoutput.moc"
