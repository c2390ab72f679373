// SPDX-FileCopyrightText: 2026 The Quillery developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "gui/frmhelp.h"

#include "gui/dialogfont.h"
#include "gui/lightpalette.h"
#include "gui/twips.h"

#include <QColor>
#include <QFont>
#include <QLabel>
#include <QPalette>
#include <QPushButton>
#include <QRect>
#include <QString>

namespace {

constexpr QSize ClientSize = twipsSize(7635, 4590);

const QColor PureRed(255, 0, 0);
const QColor PureBlue(0, 0, 255);

struct LabelLayout
{
    int index;
    const char16_t *caption;
    QRect geometry;
    Qt::Alignment alignment;
};

// In order on screen; the array index does not follow it.
const LabelLayout Label1Layouts[frmHelp::Label1Count] = {
    {0, u"1. Select years between 1871 and the present year, then click \"Time Period\"",
     twipsRect(390, 840, 7155, 375), Qt::AlignLeft},
    {1, u"2. Enter the number of random names to be generated and  click \"Generate\"",
     twipsRect(390, 1220, 7155, 375), Qt::AlignLeft},
    {5, u"3. Click \"Save to File\" to append current list of names to RandomNames.txt",
     twipsRect(390, 1600, 7155, 375), Qt::AlignLeft},
    {2, u"4. Click \"Copy Names\" to copy the list of names to the Clipboard",
     twipsRect(390, 1980, 7155, 375), Qt::AlignLeft},
    {3, u"Provided free of charge by the Quillery developers",
     twipsRect(990, 2700, 5955, 315), Qt::AlignHCenter},
    {4, u"Player names: Chadwick Baseball Bureau Register (ODC-By 1.0)",
     twipsRect(990, 3120, 5955, 315), Qt::AlignHCenter},
};

// Faces are stored by name: where the system lacks one, its font
// substitution picks another at the same size and weight.
QFont namedFont(const QString &family, qreal pointSize, bool bold)
{
    QFont font(family);
    font.setPointSizeF(pointSize);
    font.setBold(bold);
    return font;
}

QLabel *makeLabel(QWidget *parent, const QString &objectName, const QString &caption, const QRect &geometry,
                  Qt::Alignment alignment, const QColor &colour, const QFont &font)
{
    auto *label = new QLabel(caption, parent);
    label->setObjectName(objectName);
    label->setGeometry(geometry);
    label->setAlignment(alignment | Qt::AlignTop);
    label->setFont(font);
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText, colour);
    label->setPalette(palette);
    return label;
}

} // namespace

frmHelp::frmHelp(QWidget *parent)
    : QDialog(parent,
              Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint
                      | Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint)
{
    addDialogFontSubstitutes();
    setWindowTitle(QStringLiteral("Help!"));
    setFixedSize(ClientSize);
    setPalette(lightFacePalette());
    setFont(namedFont(QStringLiteral("MS Sans Serif"), 8.25, false));

    createControls();
    createConnections();
}

void frmHelp::createControls()
{
    Label2 = makeLabel(this, QStringLiteral("Label2"), QStringLiteral("Quillery V1.0"), twipsRect(390, 240, 7155, 435),
                       Qt::AlignHCenter, PureRed, namedFont(QStringLiteral("Bahase"), 14.25, true));

    const QFont stepFont = namedFont(QStringLiteral("MS Sans Serif"), 9.75, false);
    for (const LabelLayout &row : Label1Layouts) {
        Label1[size_t(row.index)] = makeLabel(this, QStringLiteral("Label1_%1").arg(row.index),
                                               QString::fromUtf16(row.caption), row.geometry, row.alignment,
                                               PureBlue, stepFont);
    }

    cmdClose = new QPushButton(QStringLiteral("&Close"), this);
    cmdClose->setObjectName(QStringLiteral("cmdClose"));
    cmdClose->setGeometry(twipsRect(3360, 3720, 1215, 495));
    cmdClose->setDefault(true);
    cmdClose->setFocus();
}

void frmHelp::createConnections()
{
    connect(cmdClose, &QPushButton::clicked, this, &frmHelp::cmdClose_Click);
}

void frmHelp::cmdClose_Click()
{
    accept();
}

void showHelp(QWidget *parent)
{
    frmHelp help(parent);
    help.exec();
}
