#include "report/ColumnLayout.h"

#include "data/NumberText.h"

#include <cmath>

namespace brisden {

QString ColumnLayoutText(int id)
{
    switch (id) {
        case ListingTabsLandscape:
            return QStringLiteral("-6, 10, -33, -48, -63, -78, -93, -103, -113, -123, 126, -131");
        case ListingHeadingTabsLandscape:
            return QStringLiteral(
                "0, -48, -63, -78, -103, -113, -123, 125, 0, 2, 10, -33, -48, -63, "
                "-78, -93, -103, -113, -123, 125");
        case ListingCaptionsLandscape:
            return QStringLiteral(
                " ,Share,Shares,Share,ROI,ROI,ROI,Rec,vbCR,Date,Desc:,Amount,Price,"
                "This Tran,Balance,Value,Period,Cumul,Avg Ann,Typ");
        case ListingTabsPortrait:
            return QStringLiteral("-6, 8, -26, -37, -48, -59, -66, -73, -80");
        case ListingHeadingTabsPortrait:
            return QStringLiteral("0, -37, -59, -80, 0, 0, 7, -25, -37, -47, -58, -65, -72, -80");
        case ListingCaptionsPortrait:
            return QStringLiteral(
                " ,Share,-------Balance-------,Return on Investment,vbCr,Date,Desc,"
                "Amount,Price,Shares,Value,Per,Cumul,Avg Ann");
        case BasisHeadingTabs:
            return QStringLiteral("0, -53, -65, -71, -79, 0, 1, 8, -28, -41, -53, -65, -71, -80");
        case BasisEntryTabs:
            return QStringLiteral("0, 8, -28, -41, -53, -65, -72, -78");
        case BasisRemainingTabs:
            return QStringLiteral("0, -30, -39, -54, -66, -72, -78");
        case BasisTotalsTabs:
            return QStringLiteral("-16, -30, -39, -54, -67");
        case BasisCaptions:
            return QStringLiteral(
                " ,Share,Capital,Hold,Round,vbCR,Date,Desc,Amount,Shares,Basis,Gain,Term,Adjust");
        default:
            return QString();
    }
}

ColumnLayout LoadColumnLayout(int tabStopId, int captionId)
{
    ColumnLayout layout;
    const QStringList stops =
        ColumnLayoutText(tabStopId).split(QLatin1Char(' '), Qt::SkipEmptyParts);
    for (const QString& piece : stops)
        layout.tabStops.push_back(static_cast<std::int32_t>(std::lround(Val(piece))));
    if (captionId != 0) {
        const QStringList captions = ColumnLayoutText(captionId).split(QLatin1Char(','));
        for (const QString& caption : captions) {
            if (caption == QLatin1String("vbCR") || caption == QLatin1String("vbCr"))
                layout.texts << QStringLiteral("\r");
            else if (caption == QLatin1String(" "))
                layout.texts << QString();
            else
                layout.texts << caption;
        }
    }
    return layout;
}

}  // namespace brisden
