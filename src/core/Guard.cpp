#include "Guard.h"

#include "Cursor.h"
#include "Db.h"
#include "Prompter.h"

#include <exception>

bool guarded(const std::function<void()> &action)
{
    QString why;
    try {
        action();
        return true;
    } catch (const DbError &e) {
        why = e.message();
    } catch (const std::exception &e) {
        why = QString::fromLocal8Bit(e.what());
    }
    Cursor::reset();
    MsgBox(QStringLiteral("The action could not be completed, and nothing of it was saved.\n\n%1").arg(why),
           QStringLiteral("Database Error"), MsgButtons::Ok, MsgIcon::Critical);
    return false;
}
