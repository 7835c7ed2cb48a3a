#include "Registration.h"

#include "AccessibleNames.h"
#include "AnthemForm.h"
#include "AnthemViewerRegistration.h"
#include "CollectionRegistration.h"
#include "MemberRegistration.h"
#include "RefListForm.h"
#include "ScheduleRegistration.h"

void registerAllForms()
{
    installAccessibleNames();
    registerRefListForms();
    registerAnthemEditor();
    registerAnthemViewerAndReport();
    registerCollectionReport();
    registerMemberReport();
    registerScheduleWindows();
}
