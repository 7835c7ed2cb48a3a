#include "Registration.h"

#include "AnthemForm.h"
#include "AnthemViewerRegistration.h"
#include "MemberRegistration.h"
#include "RefListForm.h"

void registerAllForms()
{
    registerRefListForms();
    registerAnthemEditor();
    registerAnthemViewerAndReport();
    registerMemberReport();
}
