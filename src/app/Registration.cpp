#include "Registration.h"

#include "RefListForm.h"

void registerAllForms()
{
    registerRefListForms();
}
