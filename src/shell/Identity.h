#pragma once
// The program's name, version and title ("Brisden 6.05": the minor version
// always in two digits).

#include <QString>

namespace brisden {

inline constexpr int VersionMinorNumber = BRISDEN_VERSION_MINOR;

inline QString MakeProgramTitle(int major, int minor)
{
    QString minorText = QString::number(minor).trimmed();
    if (minorText.size() < 2)
        minorText.prepend(QLatin1Char('0'));
    return QStringLiteral("Brisden ") + QString::number(major) + QLatin1Char('.') + minorText;
}

}  // namespace brisden
