#include "Registration.h"

#include "AnthemForm.h"
#include "AnthemViewerRegistration.h"
#include "RefListForm.h"
#include "ScheduleRegistration.h"

void registerAllForms()
{
    registerRefListForms();
    registerAnthemEditor();
    registerAnthemViewerAndReport();
    registerScheduleWindows();
}
