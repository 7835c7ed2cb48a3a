#include "MyDataLabels.h"

#include "Db.h"
#include "Fmt.h"

#include <QSqlQuery>

namespace MyDataLabels {

std::optional<std::array<QString, 5>> read(int datatype)
{
    QSqlQuery q = Db::query(
        QStringLiteral("select label1, label2, label3, label4, label5 from labels where datatype = ?"), {datatype});
    if (!q.next())
        return std::nullopt;
    std::array<QString, 5> captions;
    for (int i = 0; i < 5; ++i)
        captions[i] = Fmt::nz(q.value(i));
    return captions;
}

QString rename(int datatype, int n, const QString &caption)
{
    const QString text = Fmt::cut(caption, CaptionWidth);
    Db::exec(QStringLiteral("update labels set label%1 = ? where datatype = ?").arg(n), {text, datatype});
    return text;
}

} // namespace MyDataLabels
