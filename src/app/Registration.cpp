#include "Registration.h"

#include "AnthemForm.h"
#include "AnthemViewerRegistration.h"
#include "CollectionRegistration.h"
#include "MemberRegistration.h"
#include "RefListForm.h"
#include "ScheduleRegistration.h"

void registerAllForms()
{
    registerRefListForms();
    registerAnthemEditor();
    registerAnthemViewerAndReport();
    registerCollectionReport();
    registerMemberReport();
    registerScheduleWindows();
}
