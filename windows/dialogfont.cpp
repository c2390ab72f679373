#include "windows/dialogfont.h"

#include <QFont>
#include <QStringList>

void addDialogFontSubstitutes()
{
    // Without this the system's own choice is often a wide face, and the
    // longest help steps lose their last words.
    QFont::insertSubstitutions(QStringLiteral("MS Sans Serif"),
                               {QStringLiteral("Microsoft Sans Serif"), QStringLiteral("Arial"),
                                QStringLiteral("Liberation Sans"), QStringLiteral("Nimbus Sans"),
                                QStringLiteral("DejaVu Sans Condensed")});
}
