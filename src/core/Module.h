#pragma once
// Program-wide state shared between windows: which windows are open, the
// report hand-off values and the dialogs' results. One instance, hx().

#include <QList>
#include <QString>
#include <QtGlobal>

// The ids a viewer listed, in its grid order, for its kind's report. The
// report reads current rows by id when it is built.
struct ReportRecordSet {
    bool open = false;
    QList<qint32> ids;
    void release() { open = false; ids.clear(); }
};

struct HXMainModule {
    // Window-open flags: each of these windows sets its flag when it loads
    // and clears it when it unloads; other code tests a flag before it
    // touches that window, so it never creates a window only to refresh it.
    bool CollectionFormLoaded = false;
    bool AnthemFormLoaded = false;
    bool CollectionQDFormLoaded = false;
    bool AnthemQDFormLoaded = false;
    bool MemberQDFormLoaded = false;
    bool SR2PrintFormLoaded = false;
    bool MemberFormLoaded = false;
    bool ScheduleViewFormLoaded = false;
    bool VocalsFormLoaded = false;
    bool ComposerFormLoaded = false;
    bool ThemeFormLoaded = false;
    bool OrchestrationFormLoaded = false;

    void clearWindowFlags();

    // Report hand-off: 1 collections, 2 anthems, 3 members, 4 schedule, -1 none.
    int ReportType = -1;
    // Add/edit dialog mode of the reference lists; -1 after a save.
    int UtilityMode = 0;
    // Which editor opened the schedule entry dialog: 1 collection, 2 anthem, 0 none.
    int ScheduleCaller = 0;
    // Report documents: 0 save, 1 open, 2 append.
    int DocumentAction = 0;
    // Pages to save: (0, 0) the whole document; PageRange[0] == -1 cancelled.
    qint32 PageRange[2] = {0, 0};
    // File name without folder of the last file dialog that was not cancelled.
    QString ExportFileTitle;

    ReportRecordSet ReportAnthemSet;
    ReportRecordSet ReportCollectionSet;
    ReportRecordSet ReportMemberSet;
};

HXMainModule &hx();
