#include "ArchivePastSchedule.h"
#include "Db.h"
#include "MemoryTuning.h"
#include "Prompter.h"
#include "Registration.h"
#include "Startup.h"

#include <QApplication>
#include <exception>

namespace {

// Last line of defence: an error that escapes a handler is reported and the
// program goes on, instead of ending with the user's work unsaved.
class VelmoraApplication : public QApplication {
public:
    using QApplication::QApplication;
    bool notify(QObject *receiver, QEvent *event) override
    {
        try {
            return QApplication::notify(receiver, event);
        } catch (const DbError &e) {
            MsgBox(QStringLiteral("The action could not be completed.\n\n%1").arg(e.message()),
                   QStringLiteral("Database Error"), MsgButtons::Ok, MsgIcon::Critical);
        } catch (const std::exception &e) {
            MsgBox(QStringLiteral("The action could not be completed.\n\n%1").arg(QString::fromLocal8Bit(e.what())),
                   QStringLiteral("Program Error"), MsgButtons::Ok, MsgIcon::Critical);
        }
        return false;
    }
};

} // namespace

int main(int argc, char **argv)
{
    keepFreedMemoryForReuse();
    VelmoraApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("The Velmora"));
    QApplication::setOrganizationName(QStringLiteral("VOV"));

    registerAllForms();

    Startup startup;
    startup.setFirstActivationRoutine([](const QDate &today) { ArchivePastSchedule(today); });
    QObject::connect(&startup, &Startup::failed, &app, [](int code) { QApplication::exit(code); });
    if (!startup.begin())
        return startup.exitCode();
    const int rc = app.exec();
    return rc != 0 ? rc : startup.exitCode();
}
