// SPDX-FileCopyrightText: 2026 The Quillery developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "gui/frmhelp.h"

#include <QApplication>
#include <QFontInfo>
#include <QFontMetrics>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QSignalSpy>
#include <QTimer>
#include <QVBoxLayout>
#include <QtTest>

#include <functional>

namespace {

QWidget *shownHelpWindow()
{
    for (QWidget *window : QApplication::topLevelWidgets())
        if (qobject_cast<frmHelp *>(window) && window->isVisible())
            return window;
    return nullptr;
}

// Runs action on the help window while showHelp has it up. Returns false if
// the window never showed, or was still open a few seconds later and had to
// be closed here.
bool whileHelpShows(QWidget *parent, const std::function<void(QWidget *)> &action)
{
    bool acted = false;
    bool forced = false;
    QTimer::singleShot(0, parent, [&] {
        QWidget *help = QApplication::activeModalWidget();
        if (!help)
            help = shownHelpWindow();
        if (!help)
            return;
        if (!QTest::qWaitForWindowActive(help))
            qWarning("The help window never became active");
        acted = true;
        action(help);
    });
    QTimer watchdog;
    watchdog.setSingleShot(true);
    QObject::connect(&watchdog, &QTimer::timeout, parent, [&forced] {
        if (auto *help = qobject_cast<QDialog *>(shownHelpWindow())) {
            forced = true;
            help->done(QDialog::Rejected);
        }
    });
    watchdog.start(5000);
    showHelp(parent);
    return acted && !forced;
}

} // namespace

class TestFrmHelp : public QObject
{
    Q_OBJECT

private slots:
    void window();
    void labels_data();
    void labels();
    void label1IsAControlArrayOfSix();
    void closeButton();
    void onlyCloseTakesFocus();
    void closes_data();
    void closes();
    void isModalOverItsParent();
    void eachShowingIsFresh();
    void takesTheMainWindowsIcon();
};

void TestFrmHelp::window()
{
    frmHelp help;
    QCOMPARE(help.windowTitle(), QStringLiteral("Help!"));
    QCOMPARE(help.size(), QSize(509, 306));
    QCOMPARE(help.minimumSize(), QSize(509, 306));
    QCOMPARE(help.maximumSize(), QSize(509, 306));

    const Qt::WindowFlags flags = help.windowFlags();
    QCOMPARE(help.windowType(), Qt::Dialog);
    QVERIFY(flags.testFlag(Qt::WindowCloseButtonHint));
    QVERIFY(!flags.testFlag(Qt::WindowMinimizeButtonHint));
    QVERIFY(!flags.testFlag(Qt::WindowMaximizeButtonHint));
    QVERIFY(!flags.testFlag(Qt::WindowContextHelpButtonHint));
}

void TestFrmHelp::labels_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QRect>("geometry");
    QTest::addColumn<Qt::Alignment>("alignment");
    QTest::addColumn<QColor>("colour");
    QTest::addColumn<QString>("family");
    QTest::addColumn<qreal>("pointSize");
    QTest::addColumn<bool>("bold");

    const QColor red(255, 0, 0);
    const QColor blue(0, 0, 255);
    const QString sans = QStringLiteral("MS Sans Serif");

    // Pixels are the layout's twips divided by 15, rounded.
    QTest::newRow("Label2") << QStringLiteral("Quillery V1.0") << QRect(26, 16, 477, 29) << Qt::Alignment(Qt::AlignHCenter)
                            << red << QStringLiteral("Bahase") << 14.25 << true;
    QTest::newRow("Label1_0") << QStringLiteral("1. Select years between 1871 and the present year, then click \"Time Period\"")
                              << QRect(26, 56, 477, 25) << Qt::Alignment(Qt::AlignLeft) << blue << sans << 9.75 << false;
    QTest::newRow("Label1_1") << QStringLiteral("2. Enter the number of random names to be generated and  click \"Generate\"")
                              << QRect(26, 81, 477, 25) << Qt::Alignment(Qt::AlignLeft) << blue << sans << 9.75 << false;
    QTest::newRow("Label1_5") << QStringLiteral("3. Click \"Save to File\" to append current list of names to RandomNames.txt")
                              << QRect(26, 107, 477, 25) << Qt::Alignment(Qt::AlignLeft) << blue << sans << 9.75 << false;
    QTest::newRow("Label1_2") << QStringLiteral("4. Click \"Copy Names\" to copy the list of names to the Clipboard")
                              << QRect(26, 132, 477, 25) << Qt::Alignment(Qt::AlignLeft) << blue << sans << 9.75 << false;
    QTest::newRow("Label1_3") << QStringLiteral("Provided free of charge by the Quillery developers")
                              << QRect(66, 180, 397, 21) << Qt::Alignment(Qt::AlignHCenter) << blue << sans << 9.75 << false;
    QTest::newRow("Label1_4") << QStringLiteral("Player names: Chadwick Baseball Bureau Register (ODC-By 1.0)")
                              << QRect(66, 208, 397, 21) << Qt::Alignment(Qt::AlignHCenter) << blue << sans << 9.75 << false;
}

void TestFrmHelp::labels()
{
    QFETCH(QString, text);
    QFETCH(QRect, geometry);
    QFETCH(Qt::Alignment, alignment);
    QFETCH(QColor, colour);
    QFETCH(QString, family);
    QFETCH(qreal, pointSize);
    QFETCH(bool, bold);

    frmHelp help;
    const auto *label = help.findChild<QLabel *>(QString::fromLatin1(QTest::currentDataTag()));
    QVERIFY(label);
    QCOMPARE(label->text(), text);
    QCOMPARE(label->geometry(), geometry);
    QCOMPARE(label->alignment() & Qt::AlignHorizontal_Mask, alignment);
    QCOMPARE(label->palette().color(QPalette::WindowText), colour);
    QVERIFY(label->isVisibleTo(&help));
    QVERIFY(label->isEnabled());

    // The face is kept by name; a stand-in face keeps size and weight.
    const QFont font = label->font();
    QCOMPARE(font.family(), family);
    QCOMPARE(font.pointSizeF(), pointSize);
    QCOMPARE(font.bold(), bold);
    const QFontInfo resolved(font);
    QCOMPARE(resolved.pointSizeF(), pointSize);
    QCOMPARE(resolved.bold(), bold);

    const QFontMetrics metrics(font);
    QVERIFY2(metrics.horizontalAdvance(text) <= label->contentsRect().width(),
             qPrintable(QStringLiteral("%1 px wide in %2 px, face %3")
                                .arg(metrics.horizontalAdvance(text))
                                .arg(label->contentsRect().width())
                                .arg(resolved.family())));
    QVERIFY2(metrics.height() <= label->contentsRect().height(),
             qPrintable(QStringLiteral("%1 px high in %2 px").arg(metrics.height()).arg(label->contentsRect().height())));
}

void TestFrmHelp::label1IsAControlArrayOfSix()
{
    frmHelp help;
    const QList<QLabel *> labels = help.findChildren<QLabel *>();
    QCOMPARE(labels.size(), 1 + frmHelp::Label1Count);
    for (int index = 0; index < frmHelp::Label1Count; ++index)
        QVERIFY2(help.findChild<QLabel *>(QStringLiteral("Label1_%1").arg(index)), qPrintable(QString::number(index)));
}

void TestFrmHelp::closeButton()
{
    frmHelp help;
    const auto *close = help.findChild<QPushButton *>(QStringLiteral("cmdClose"));
    QVERIFY(close);
    QCOMPARE(close->text(), QStringLiteral("&Close"));
    QCOMPARE(close->geometry(), QRect(224, 248, 81, 33));
    QVERIFY(close->isDefault());
    QCOMPARE(close->font().family(), QStringLiteral("MS Sans Serif"));
    QCOMPARE(close->font().pointSizeF(), 8.25);
    QVERIFY(close->sizeHint().width() <= close->width());
    QVERIFY(close->sizeHint().height() <= close->height());
}

void TestFrmHelp::onlyCloseTakesFocus()
{
    QWidget parent;
    parent.show();
    QStringList focusable;
    QString focusedAfterTab;
    const bool closed = whileHelpShows(&parent, [&](QWidget *help) {
        for (const QWidget *child : help->findChildren<QWidget *>())
            if (child->focusPolicy() != Qt::NoFocus)
                focusable << child->objectName();
        QTest::keyClick(help, Qt::Key_Tab);
        focusedAfterTab = help->focusWidget() ? help->focusWidget()->objectName() : QString();
        qobject_cast<QDialog *>(help)->done(QDialog::Accepted);
    });
    QVERIFY2(closed, "the help window did not show, or stayed open");
    QCOMPARE(focusable, QStringList{QStringLiteral("cmdClose")});
    QCOMPARE(focusedAfterTab, QStringLiteral("cmdClose"));
}

void TestFrmHelp::closes_data()
{
    QTest::addColumn<std::function<void(QWidget *)>>("how");
    QTest::newRow("Enter") << std::function<void(QWidget *)>([](QWidget *help) { QTest::keyClick(help, Qt::Key_Return); });
    QTest::newRow("keypad Enter") << std::function<void(QWidget *)>(
            [](QWidget *help) { QTest::keyClick(help, Qt::Key_Enter, Qt::KeypadModifier); });
    QTest::newRow("click") << std::function<void(QWidget *)>([](QWidget *help) {
        QTest::mouseClick(help->findChild<QPushButton *>(QStringLiteral("cmdClose")), Qt::LeftButton);
    });
    QTest::newRow("access key") << std::function<void(QWidget *)>(
            [](QWidget *help) { QTest::keyClick(help, Qt::Key_C, Qt::AltModifier); });
    QTest::newRow("close box") << std::function<void(QWidget *)>([](QWidget *help) { help->close(); });
}

void TestFrmHelp::closes()
{
    QFETCH(std::function<void(QWidget *)>, how);
    QWidget parent;
    parent.show();
    bool wasShown = false;
    const bool closed = whileHelpShows(&parent, [&](QWidget *help) {
        wasShown = qobject_cast<frmHelp *>(help) && help->isVisible();
        how(help);
    });
    QVERIFY2(closed, "the help window did not show, or stayed open");
    QVERIFY(wasShown);
    QCOMPARE(QApplication::activeModalWidget(), nullptr);
}

void TestFrmHelp::isModalOverItsParent()
{
    QWidget parent;
    auto *button = new QPushButton(QStringLiteral("&Generate"), &parent);
    new QVBoxLayout(&parent);
    parent.layout()->addWidget(button);
    parent.show();
    QSignalSpy clicks(button, &QPushButton::clicked);

    bool shown = false;
    Qt::WindowModality modality = Qt::NonModal;
    const bool closed = whileHelpShows(&parent, [&](QWidget *help) {
        shown = qobject_cast<frmHelp *>(help) && help->parentWidget() == &parent;
        modality = help->windowModality();
        // Through the parent's window, the way the system delivers input.
        QTest::mouseClick(parent.windowHandle(), Qt::LeftButton, {}, button->geometry().center());
        QTest::keyClick(parent.windowHandle(), Qt::Key_G, Qt::AltModifier);
        help->close();
    });
    QVERIFY2(closed, "the help window did not show, or stayed open");
    QVERIFY(shown);
    QCOMPARE(clicks.count(), 0);
    QVERIFY(modality != Qt::NonModal);

    // Once the help window is gone the parent takes input again.
    QTest::mouseClick(parent.windowHandle(), Qt::LeftButton, {}, button->geometry().center());
    QCOMPARE(clicks.count(), 1);
}

void TestFrmHelp::eachShowingIsFresh()
{
    QWidget parent;
    parent.show();
    QPointer<QWidget> first;
    const bool closed = whileHelpShows(&parent, [&](QWidget *help) {
        first = help;
        QCOMPARE(help->parentWidget(), &parent);
        help->close();
    });
    QVERIFY2(closed, "the help window did not show, or stayed open");
    QVERIFY(first.isNull());
    QCOMPARE(parent.findChildren<frmHelp *>().size(), 0);
}

void TestFrmHelp::takesTheMainWindowsIcon()
{
    QPixmap picture(16, 16);
    picture.fill(Qt::darkGreen);
    QWidget parent;
    parent.setWindowIcon(QIcon(picture));
    parent.show();
    qint64 iconKey = 0;
    const bool closed = whileHelpShows(&parent, [&](QWidget *help) {
        iconKey = help->windowIcon().cacheKey();
        help->close();
    });
    QVERIFY2(closed, "the help window did not show, or stayed open");
    QCOMPARE(iconKey, parent.windowIcon().cacheKey());
}

int main(int argc, char *argv[])
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    TestFrmHelp test;
    return QTest::qExec(&test, argc, argv);
}

#include "test_frmhelp.moc"
