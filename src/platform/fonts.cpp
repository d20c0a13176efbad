#include "fonts.h"

#include <QStringList>

namespace fonts {

void installSubstitutions()
{
    const QStringList standIns{QStringLiteral("Liberation Sans"), QStringLiteral("Arimo"),
                               QStringLiteral("DejaVu Sans"), QStringLiteral("Sans Serif")};
    for (const QString& family : {QStringLiteral("MS Sans Serif"), QStringLiteral("Arial")})
        if (QFont::substitutes(family).isEmpty())
            QFont::insertSubstitutions(family, standIns);
}

QFont designFont(const QString& family, double pointSize, bool bold)
{
    installSubstitutions();
    QFont font(family);
    font.setPointSizeF(pointSize);
    font.setBold(bold);
    return font;
}

} // namespace fonts
