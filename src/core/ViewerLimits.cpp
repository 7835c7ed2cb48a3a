#include "ViewerLimits.h"

CheckGridKind ViewerLimits::gridKind(int listLimit)
{
    static const CheckGridKind kinds[ListLimitCount] = {CheckGridKind::Vocals, CheckGridKind::Composers,
                                                        CheckGridKind::Themes, CheckGridKind::Orchestration,
                                                        CheckGridKind::Choirs};
    return kinds[listLimit];
}

void ViewerLimits::addTo(DisplayMarker &marker) const
{
    for (int i = 0; i < ListLimitCount; ++i)
        if (listTicked[i])
            marker.addLinkLimit(gridKind(i), listIds[i]);
    for (int k = 0; k < 5; ++k)
        if (myDataTicked[k])
            marker.addMyDataLimit(k + 1, myDataText[k]);
    if (loanedOut)
        marker.addCondition(QStringLiteral("coalesce(LoanedTo, '') <> ''"));
}
