#pragma once
// What the limit boxes of the anthem and collection viewers ask for, and
// how those limits become a DisplayMarker: the five link limits (OR
// within one, in the order vocalizations, composers/arrangers, themes,
// orchestration, choirs), the five "My Data" prefixes on u1 to u5 and
// "loaned out". Kept apart from the windows so a viewer's filter can be
// tested and measured without one.

#include "DisplayMarker.h"

#include <QList>
#include <QString>

struct ViewerLimits {
    // The five link limits, in the order they are applied (and the order
    // of the limit boxes optLimit0..optLimit4).
    enum ListLimit { Vocals, Composers, Themes, Orchestration, Choirs, ListLimitCount };
    // The grid a link limit reads.
    static CheckGridKind gridKind(int listLimit);

    bool listTicked[ListLimitCount] = {};
    // The checked ids of each limit's grid (ids below 1 are ignored).
    QList<qint32> listIds[ListLimitCount];

    // The "My Data" limits on u1 to u5: a record passes when its field
    // begins with the text (outer blanks removed, case ignored); a ticked
    // limit with an empty text is left out.
    bool myDataTicked[5] = {};
    QString myDataText[5];

    // Only records whose LoanedTo holds text.
    bool loanedOut = false;

    // Adds the ticked limits to a marker of the viewer's kind.
    void addTo(DisplayMarker &marker) const;
};
