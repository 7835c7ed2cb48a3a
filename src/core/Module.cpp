#include "Module.h"

HXMainModule &hx()
{
    static HXMainModule module;
    return module;
}

void HXMainModule::clearWindowFlags()
{
    CollectionFormLoaded = false;
    AnthemFormLoaded = false;
    CollectionQDFormLoaded = false;
    AnthemQDFormLoaded = false;
    MemberQDFormLoaded = false;
    SR2PrintFormLoaded = false;
    MemberFormLoaded = false;
    ScheduleViewFormLoaded = false;
    VocalsFormLoaded = false;
    ComposerFormLoaded = false;
    ThemeFormLoaded = false;
    OrchestrationFormLoaded = false;
}
