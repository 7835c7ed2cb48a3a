#include "Registration.h"

#include "AnthemForm.h"
#include "RefListForm.h"

void registerAllForms()
{
    registerRefListForms();
    registerAnthemEditor();
}
