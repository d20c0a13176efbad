#include "fonts.h"

#include <QFontDatabase>
#include <QStringList>

namespace fonts {

namespace {

const QStringList& standIns()
{
    static const QStringList families{QStringLiteral("Liberation Sans"), QStringLiteral("Arimo"),
                                      QStringLiteral("DejaVu Sans"), QStringLiteral("Sans Serif")};
    return families;
}

// The family itself where it is installed, else the first stand-in that is.
// Asked for a family it lacks, the font system tries the substitutes one
// by one for every size and weight, which costs a few tenths of a
// millisecond each time at start-up.
QString installedFamily(const QString& family)
{
    static const QStringList installed = QFontDatabase::families();
    if (installed.contains(family, Qt::CaseInsensitive))
        return family;
    for (const QString& standIn : standIns())
        if (installed.contains(standIn, Qt::CaseInsensitive))
            return standIn;
    return family;
}

} // namespace

void installSubstitutions()
{
    for (const QString& family : {QStringLiteral("MS Sans Serif"), QStringLiteral("Arial")})
        if (QFont::substitutes(family).isEmpty())
            QFont::insertSubstitutions(family, standIns());
}

QFont designFont(const QString& family, double pointSize, bool bold)
{
    installSubstitutions();
    QFont font(installedFamily(family));
    font.setPointSizeF(pointSize);
    font.setBold(bold);
    return font;
}

} // namespace fonts
