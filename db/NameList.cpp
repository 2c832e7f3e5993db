#include "db/NameList.h"

#include "db/Connection.h"

#include <sqlite3.h>

NameList::NameList(Connection& connection, const QString& sql)
{
    sqlite3_stmt* stmt = connection.prepare(sql);
    int rc;
    while ((rc = sqlite3_step(stmt)) == SQLITE_ROW) {
        m_ids.append(sqlite3_column_type(stmt, 0) == SQLITE_NULL ? NoId : sqlite3_column_int64(stmt, 0));
        const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(stmt, 1));
        m_names.append(text ? QString::fromUtf8(text, sqlite3_column_bytes(stmt, 1)) : QString());
    }
    sqlite3_finalize(stmt);
    if (rc != SQLITE_DONE)
        connection.throwLastError();
}

int NameList::indexOfName(const QString& name) const
{
    for (int i = 0; i < m_names.size(); ++i) {
        if (m_names.at(i) == name)
            return i;
    }
    return -1;
}
