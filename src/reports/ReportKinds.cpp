#include "ReportKinds.h"

#include "Cursor.h"
#include "Forms.h"
#include "Guard.h"
#include "Module.h"
#include "Prompter.h"
#include "SR2PrintForm.h"

#include <QHash>

namespace ReportKinds {

namespace {
struct Entry {
    Setup setup;
    Build build;
};
QHash<int, Entry> &registry()
{
    static QHash<int, Entry> r;
    return r;
}
} // namespace

void registerKind(int kind, Setup setup, Build build)
{
    registry().insert(kind, Entry{std::move(setup), std::move(build)});
}

void unregisterKind(int kind)
{
    registry().remove(kind);
}

bool isRegistered(int kind)
{
    return registry().contains(kind);
}

Setup setup(int kind)
{
    return registry().value(kind).setup;
}

Build build(int kind)
{
    return registry().value(kind).build;
}

QString caption(int kind)
{
    switch (kind) {
    case Collections: return QStringLiteral("Reports - Collections");
    case Anthems: return QStringLiteral("Reports - Anthems");
    case Members: return QStringLiteral("Reports - Members");
    case Schedule: return QStringLiteral("Reports - Schedule");
    default: return QString();
    }
}

} // namespace ReportKinds

void RequestReport(int kind)
{
    if (hx().SR2PrintFormLoaded) {
        if (SR2PrintForm *open = SR2PrintForm::instance())
            Forms::showChild(open);
        MsgBox(QStringLiteral("Please close the current report window"), QString(), MsgButtons::Ok,
               MsgIcon::Information);
        return;
    }
    hx().ReportType = kind;
    BusyCursor busy;
    guarded([] {
        auto *form = new SR2PrintForm();
        Forms::showChild(form);
        form->loadFinished();
    });
}
