#pragma once
// The five kinds of link a collection has, in one table: the collection's
// link table and its item column, the anthem link table of the same kind,
// and the reference table whose names the report prints. The record's
// save, the deletion and the report all read their table names here.

#include "CollectionRecord.h"

struct CollectionLinkTable {
    const char *table;       // the collection's links: (collectionid, item)
    const char *itemColumn;  // the item's id column in both link tables
    const char *anthemTable; // the anthem links of the same kind: (anthemid, item)
    const char *refTable;    // the reference list
    const char *refId;
    const char *refName;
    const char *caption;     // the report's caption for the list
    QList<qint32> CollectionLinks::*ids;
};

// In the order of the report's options 1 to 5.
enum CollectionLinkKind { LinkComposers, LinkOrchestration, LinkVocals, LinkThemes, LinkChoirs };

inline const CollectionLinkTable kCollectionLinkTables[5] = {
    {"col_com_l", "composerid", "a_com_l", "composer", "composerid", "composer", "Composers: ",
     &CollectionLinks::composers},
    {"col_orch_l", "orchid", "a_orch_l", "orchestration", "orchid", "orchestration", "Orchestration: ",
     &CollectionLinks::orchestration},
    {"col_v_l", "vocalsid", "a_v_l", "vocals", "vocalsid", "vocals", "Vocalization: ", &CollectionLinks::vocals},
    {"col_th_l", "themeid", "a_th_l", "themes", "themeid", "theme", "Themes: ", &CollectionLinks::themes},
    {"col_chr_l", "choirid", "a_chr_l", "choir", "ChoirID", "choir", "Choirs: ", &CollectionLinks::choirs},
};
