#include "db/RowSet.h"

#include "core/VbError.h"
#include "db/ChangeCount.h"
#include "db/Connection.h"

#include <limits>
#include <optional>
#include <sqlite3.h>

namespace {

// The error number of a row set (or its connection) used while closed.
constexpr int kClosedObject = 3704;

[[noreturn]] void closedError()
{
    throw VbError(kClosedObject, QStringLiteral("Operation is not allowed when the object is closed."));
}

[[noreturn]] void noCurrentRecord()
{
    throw VbError(3021, QStringLiteral("Either BOF or EOF is True, or the current record has been deleted. "
                                       "Requested operation requires a current record."));
}

[[noreturn]] void unknownColumn()
{
    throw VbError(3265, QStringLiteral("Item cannot be found in the collection corresponding to the "
                                       "requested name or ordinal."));
}

[[noreturn]] void badArguments()
{
    throw VbError(3001, QStringLiteral("Arguments are of the wrong type, are out of acceptable range, "
                                       "or are in conflict with one another."));
}

[[noreturn]] void notUpdatable()
{
    throw VbError(3251, QStringLiteral("Current Recordset does not support updating. This may be a "
                                       "limitation of the provider, or of the selected locktype."));
}

QString quotedName(const QString& name)
{
    QString n = name;
    n.replace(QLatin1Char('"'), QLatin1String("\"\""));
    return QLatin1Char('"') + n + QLatin1Char('"');
}

QString columnText(sqlite3_stmt* stmt, int i)
{
    const auto* text = static_cast<const char*>(sqlite3_column_blob(stmt, i));
    return QString::fromUtf8(text, sqlite3_column_bytes(stmt, i));
}

// Stored figures are texts of digits in plain notation (see Schema.cpp), read in the C locale
// whatever the user's regional settings.
std::optional<Decimal> storedDecimal(const QString& text)
{
    try {
        return Decimal::parse(text, QLocale::c());
    } catch (const VbError&) {
        return std::nullopt;
    }
}

}  // namespace

namespace {

void bindVariant(sqlite3_stmt* stmt, int index, const Variant& v)
{
    switch (v.type()) {
    case Variant::Type::Empty:
    case Variant::Type::Null:
        sqlite3_bind_null(stmt, index);
        break;
    case Variant::Type::Integer:
    case Variant::Type::Long:
    case Variant::Type::Boolean:
        sqlite3_bind_int64(stmt, index, v.toInt32(QLocale::c()));
        break;
    case Variant::Type::Double:
        sqlite3_bind_double(stmt, index, v.toDouble(QLocale::c()));
        break;
    case Variant::Type::Decimal: {
        // A figure is stored as its digits, never as a binary double.
        const QByteArray text = v.toDecimal().toString().toUtf8();
        sqlite3_bind_text(stmt, index, text.constData(), text.size(), SQLITE_TRANSIENT);
        break;
    }
    case Variant::Type::Text: {
        const QByteArray text = v.toText().toUtf8();
        sqlite3_bind_text(stmt, index, text.constData(), text.size(), SQLITE_TRANSIENT);
        break;
    }
    }
}

}  // namespace

RowSet::RowSet() = default;
RowSet::~RowSet() = default;
RowSet::RowSet(RowSet&&) noexcept = default;
RowSet& RowSet::operator=(RowSet&&) noexcept = default;

Variant RowSet::readColumn(sqlite3_stmt* stmt, int i, Column::Kind kind)
{
    switch (sqlite3_column_type(stmt, i)) {
    case SQLITE_NULL:
        return Variant::null();
    case SQLITE_INTEGER: {
        const qint64 v = sqlite3_column_int64(stmt, i);
        if (kind != Column::Numeric && v >= std::numeric_limits<qint32>::min()
            && v <= std::numeric_limits<qint32>::max())
            return Variant::longInt(qint32(v));
        return Variant(Decimal(static_cast<long long>(v)));
    }
    case SQLITE_FLOAT:
        if (kind == Column::Numeric) {
            // Only a figure written past this program would be stored as a double; take the
            // engine's own 15-digit text of it.
            if (auto d = storedDecimal(columnText(stmt, i)))
                return Variant(*d);
        }
        return Variant::fromDouble(sqlite3_column_double(stmt, i));
    default: {
        const QString text = columnText(stmt, i);
        if (kind == Column::Numeric) {
            if (auto d = storedDecimal(text))
                return Variant(*d);
        }
        return Variant(text);
    }
    }
}

void RowSet::open(const QString& sql, Connection& connection, Mode mode)
{
    close();
    m_connection = &connection;
    m_sql = sql;
    m_mode = mode;
    load();
    m_open = true;
    m_pos = 0;
}

void RowSet::load()
{
    sqlite3_stmt* stmt = m_connection->prepare(m_sql);
    QVector<Column> columns;
    QString table;
    bool singleTable = true;
    const int count = sqlite3_column_count(stmt);
    for (int i = 0; i < count; ++i) {
        Column c;
        c.name = QString::fromUtf8(sqlite3_column_name(stmt, i));
        const char* origin = sqlite3_column_origin_name(stmt, i);
        c.origin = origin ? QString::fromUtf8(origin) : QString();
        const QString decl = QString::fromUtf8(sqlite3_column_decltype(stmt, i)).toUpper();
        if (decl.startsWith(QLatin1String("DECIMAL")))
            c.kind = Column::Numeric;
        else if (decl.contains(QLatin1String("INT")))
            c.kind = Column::Integer;
        else if (decl.contains(QLatin1String("TEXT")) || decl.contains(QLatin1String("CHAR")))
            c.kind = Column::Text;
        const char* t = sqlite3_column_table_name(stmt, i);
        const QString columnTable = t ? QString::fromUtf8(t) : QString();
        if (columnTable.isEmpty() || (!table.isEmpty() && columnTable != table))
            singleTable = false;
        table = columnTable;
        columns.append(c);
    }

    QList<Row> rows;
    int rc;
    while ((rc = sqlite3_step(stmt)) == SQLITE_ROW) {
        Row row;
        row.values.reserve(count);
        for (int i = 0; i < count; ++i)
            row.values.append(readColumn(stmt, i, columns[i].kind));
        row.original = row.values;
        rows.append(row);
    }
    if (rc != SQLITE_DONE) {
        const QString message = QString::fromUtf8(sqlite3_errmsg(m_connection->handle()));
        sqlite3_finalize(stmt);
        throw VbError(Connection::EngineErrorNumber, message);
    }
    sqlite3_finalize(stmt);

    int keyColumn = -1;
    int countColumn = -1;
    if (m_mode == Mode::WriteBack) {
        // Writing a row back needs to know which table row it is: the table's integer key.
        if (!singleTable || table.isEmpty())
            notUpdatable();
        const QString key = integerKeyOf(table);
        for (int i = 0; i < columns.size() && !key.isEmpty(); ++i) {
            if (columns[i].origin.compare(key, Qt::CaseInsensitive) == 0)
                keyColumn = i;
        }
        if (keyColumn < 0)
            notUpdatable();
        for (int i = 0; i < columns.size(); ++i) {
            if (columns[i].origin.compare(QLatin1String("ChangeCount"), Qt::CaseInsensitive) == 0)
                countColumn = i;
        }
    }

    m_columns = columns;
    m_rows = rows;
    m_table = table;
    m_keyColumn = keyColumn;
    m_countColumn = countColumn;
}

QString RowSet::countedSet() const
{
    return m_countColumn >= 0 ? QStringLiteral(", \"ChangeCount\" = \"ChangeCount\" + 1") : QString();
}

void RowSet::appendCountRead(QString& sql, QList<Variant>& values, const Row& row) const
{
    if (m_countColumn < 0)
        return;
    sql += QStringLiteral(" AND \"ChangeCount\" = ?");
    values.append(row.original[m_countColumn]);
}

bool RowSet::rowStillThere(const Row& row) const
{
    const QByteArray text = QStringLiteral("SELECT count(*) FROM %1 WHERE %2 = ?")
                                .arg(quotedName(m_table), quotedName(m_columns[m_keyColumn].origin))
                                .toUtf8();
    sqlite3_stmt* stmt = nullptr;
    if (sqlite3_prepare_v2(m_connection->handle(), text.constData(), text.size(), &stmt, nullptr)
        != SQLITE_OK)
        m_connection->throwLastError();
    bindVariant(stmt, 1, row.original[m_keyColumn]);
    const bool there = sqlite3_step(stmt) == SQLITE_ROW && sqlite3_column_int(stmt, 0) > 0;
    sqlite3_finalize(stmt);
    return there;
}

void RowSet::refuseChanged(const Row& row) const
{
    throw rowStillThere(row) ? ChangeCount::changedMeanwhile(QStringLiteral("The record"))
                             : ChangeCount::deletedMeanwhile(QStringLiteral("The record"));
}

QString RowSet::integerKeyOf(const QString& table) const
{
    sqlite3_stmt* stmt = nullptr;
    const QByteArray sql
        = (QStringLiteral("PRAGMA table_info(") + quotedName(table) + QLatin1Char(')')).toUtf8();
    if (sqlite3_prepare_v2(m_connection->handle(), sql.constData(), sql.size(), &stmt, nullptr)
        != SQLITE_OK)
        m_connection->throwLastError();
    QString key;
    int keys = 0;
    while (sqlite3_step(stmt) == SQLITE_ROW) {
        if (sqlite3_column_int(stmt, 5) > 0) {
            ++keys;
            const QString type = columnText(stmt, 2).toUpper();
            if (type == QLatin1String("INTEGER"))
                key = columnText(stmt, 1);
        }
    }
    sqlite3_finalize(stmt);
    return keys == 1 ? key : QString();
}

void RowSet::requery()
{
    requireOpen();
    leaveRow();
    load();
    m_pos = 0;
}

bool RowSet::isOpen() const
{
    return m_open;
}

int RowSet::state() const
{
    return m_open ? StateOpen : StateClosed;
}

void RowSet::close()
{
    m_open = false;
    m_columns.clear();
    m_rows.clear();
    m_pos = 0;
    m_table.clear();
    m_keyColumn = -1;
    m_countColumn = -1;
}

int RowSet::recordCount() const
{
    requireOpen();
    return int(m_rows.size());
}

void RowSet::moveFirst()
{
    requireOpen();
    leaveRow();
    m_pos = 0;
}

void RowSet::moveNext()
{
    requireOpen();
    if (eof())
        noCurrentRecord();
    leaveRow();
    ++m_pos;
}

bool RowSet::eof() const
{
    requireOpen();
    return m_pos >= m_rows.size();
}

int RowSet::position() const
{
    requireOpen();
    return m_pos < m_rows.size() ? m_pos : -1;
}

bool RowSet::find(const QString& criterion)
{
    requireOpen();
    const int eq = criterion.indexOf(QLatin1Char('='));
    if (eq < 0)
        badArguments();
    const int col = columnIndex(criterion.left(eq).trimmed());
    const QString valueText = criterion.mid(eq + 1).trimmed();

    bool wantText = false;
    QString text;
    Decimal number;
    if (valueText.startsWith(QLatin1Char('\''))) {
        if (valueText.size() < 2 || !valueText.endsWith(QLatin1Char('\'')))
            badArguments();
        text = valueText.mid(1, valueText.size() - 2);
        text.replace(QLatin1String("''"), QLatin1String("'"));
        wantText = true;
    } else {
        const auto d = storedDecimal(valueText);
        if (!d)
            badArguments();
        number = *d;
    }

    leaveRow();
    for (int r = 0; r < m_rows.size(); ++r) {
        const Variant& v = m_rows[r].values[col];
        bool match = false;
        if (v.isNull() || v.isEmpty()) {
            match = false;
        } else if (v.isText()) {
            const QString stored = v.toText();
            if (wantText) {
                match = stored == text;
            } else if (const auto d = storedDecimal(stored)) {
                match = *d == number;
            }
        } else if (v.isNumber() || v.isBoolean()) {
            const Decimal stored = v.toDecimal(QLocale::c());
            if (wantText) {
                const auto d = storedDecimal(text);
                match = d && *d == stored;
            } else {
                match = stored == number;
            }
        }
        if (match) {
            m_pos = r;
            return true;
        }
    }
    m_pos = int(m_rows.size());
    return false;
}

void RowSet::addNew()
{
    requireOpen();
    leaveRow();
    Row row;
    row.values = QVector<Variant>(m_columns.size(), Variant::null());
    row.original = row.values;
    if (m_mode == Mode::WriteBack) {
        row.added = true;
        m_posBeforeAdd = m_pos;
    }
    m_rows.append(row);
    m_pos = int(m_rows.size()) - 1;
}

Variant RowSet::value(const QString& column) const
{
    requireOpen();
    const int col = columnIndex(column);
    requireCurrent();
    return m_rows[m_pos].values[col];
}

void RowSet::setValue(const QString& column, const Variant& value)
{
    requireOpen();
    const int col = columnIndex(column);
    requireCurrent();
    Row& row = m_rows[m_pos];
    row.values[col] = convertForColumn(m_columns[col], value);
    if (m_mode == Mode::WriteBack)
        row.changed = true;
}

QStringList RowSet::columnNames() const
{
    QStringList names;
    for (const Column& c : m_columns)
        names.append(c.name);
    return names;
}

bool RowSet::hasColumn(const QString& column) const
{
    for (const Column& c : m_columns) {
        if (c.name.compare(column, Qt::CaseInsensitive) == 0)
            return true;
    }
    return false;
}

int RowSet::columnIndex(const QString& column) const
{
    for (int i = 0; i < m_columns.size(); ++i) {
        if (m_columns[i].name.compare(column, Qt::CaseInsensitive) == 0)
            return i;
    }
    unknownColumn();
}

void RowSet::requireOpen() const
{
    if (!m_open)
        closedError();
}

void RowSet::requireCurrent() const
{
    if (m_pos < 0 || m_pos >= m_rows.size())
        noCurrentRecord();
}

Variant RowSet::convertForColumn(const Column& column, const Variant& value) const
{
    if (value.isEmpty() || value.isNull())
        return Variant::null();
    switch (column.kind) {
    case Column::Numeric:
        return Variant(value.toDecimal());
    case Column::Integer:
        return Variant::longInt(value.toInt32());
    case Column::Text:
        return Variant(value.toText());
    case Column::Any:
        break;
    }
    return value;
}

bool RowSet::editPending() const
{
    if (!m_open || m_mode != Mode::WriteBack || m_pos < 0 || m_pos >= m_rows.size())
        return false;
    const Row& row = m_rows[m_pos];
    return row.added || row.changed;
}

void RowSet::leaveRow()
{
    if (editPending())
        update();
}

void RowSet::update()
{
    requireOpen();
    if (m_mode != Mode::WriteBack)
        return;
    requireCurrent();
    Row& row = m_rows[m_pos];
    if (!row.added && !row.changed)
        return;
    sqlite3* db = m_connection->writeHandle(kClosedObject);

    QStringList names;
    QList<Variant> values;
    for (int i = 0; i < m_columns.size(); ++i) {
        const bool isKey = i == m_keyColumn;
        if (i == m_countColumn)
            continue;  // the count is the database's to raise
        if (row.added ? !(isKey && row.values[i].isNull())
                      : (!isKey && !(row.values[i] == row.original[i]))) {
            names.append(quotedName(m_columns[i].origin));
            values.append(row.values[i]);
        }
    }
    QString sql;
    if (row.added) {
        QStringList marks;
        for (int i = 0; i < names.size(); ++i)
            marks.append(QStringLiteral("?"));
        sql = names.isEmpty() ? QStringLiteral("INSERT INTO %1 DEFAULT VALUES").arg(quotedName(m_table))
                              : QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)")
                                    .arg(quotedName(m_table), names.join(QStringLiteral(", ")),
                                         marks.join(QStringLiteral(", ")));
    } else if (!names.isEmpty()) {
        sql = QStringLiteral("UPDATE %1 SET %2 = ?%4 WHERE %3 = ?")
                  .arg(quotedName(m_table), names.join(QStringLiteral(" = ?, ")),
                       quotedName(m_columns[m_keyColumn].origin), countedSet());
        values.append(row.original[m_keyColumn]);
        appendCountRead(sql, values, row);
    }

    qint64 key = 0;
    if (!sql.isEmpty()) {
        const QByteArray text = sql.toUtf8();
        sqlite3_stmt* stmt = nullptr;
        if (sqlite3_prepare_v2(db, text.constData(), text.size(), &stmt, nullptr) != SQLITE_OK)
            m_connection->throwLastError();
        for (int i = 0; i < values.size(); ++i)
            bindVariant(stmt, i + 1, values[i]);
        const int rc = sqlite3_step(stmt);
        const QString message = QString::fromUtf8(sqlite3_errmsg(db));
        sqlite3_finalize(stmt);
        if (rc != SQLITE_DONE)
            throw VbError(Connection::EngineErrorNumber, message);
        if (!row.added && sqlite3_changes(db) == 0 && m_countColumn >= 0)
            refuseChanged(row);
        if (!row.added && sqlite3_changes(db) == 0)
            throw VbError(Connection::EngineErrorNumber,
                          QStringLiteral("The row could not be found for updating. Some values may have "
                                         "been changed since it was last read."));
        key = row.added ? sqlite3_last_insert_rowid(db) : row.original[m_keyColumn].toInt32(QLocale::c());
    } else {
        key = row.original[m_keyColumn].toInt32(QLocale::c());
    }

    // Read the row back as the table holds it: an added row learns the key it was given.
    QStringList all;
    for (const Column& c : m_columns)
        all.append(quotedName(c.origin));
    const QByteArray text = QStringLiteral("SELECT %1 FROM %2 WHERE %3 = ?")
                                .arg(all.join(QStringLiteral(", ")), quotedName(m_table),
                                     quotedName(m_columns[m_keyColumn].origin))
                                .toUtf8();
    sqlite3_stmt* stmt = nullptr;
    if (sqlite3_prepare_v2(db, text.constData(), text.size(), &stmt, nullptr) != SQLITE_OK)
        m_connection->throwLastError();
    sqlite3_bind_int64(stmt, 1, key);
    if (sqlite3_step(stmt) == SQLITE_ROW) {
        for (int i = 0; i < m_columns.size(); ++i)
            row.values[i] = readColumn(stmt, i, m_columns[i].kind);
    }
    sqlite3_finalize(stmt);
    row.original = row.values;
    row.added = false;
    row.changed = false;
}

void RowSet::cancelUpdate()
{
    requireOpen();
    if (!editPending())
        return;
    Row& row = m_rows[m_pos];
    if (row.added) {
        m_rows.removeAt(m_pos);
        m_pos = qBound(0, m_posBeforeAdd, int(m_rows.size()));
        return;
    }
    row.values = row.original;
    row.changed = false;
}

void RowSet::deleteCurrent()
{
    requireOpen();
    requireCurrent();
    Row& row = m_rows[m_pos];
    if (m_mode == Mode::WriteBack && !row.added) {
        const QByteArray text
            = QStringLiteral("DELETE FROM %1 WHERE %2 = ?%3")
                  .arg(quotedName(m_table), quotedName(m_columns[m_keyColumn].origin),
                       m_countColumn >= 0 ? QStringLiteral(" AND \"ChangeCount\" = ?") : QString())
                  .toUtf8();
        sqlite3* db = m_connection->writeHandle(kClosedObject);
        sqlite3_stmt* stmt = nullptr;
        if (sqlite3_prepare_v2(db, text.constData(), text.size(), &stmt, nullptr) != SQLITE_OK)
            m_connection->throwLastError();
        bindVariant(stmt, 1, row.original[m_keyColumn]);
        if (m_countColumn >= 0)
            bindVariant(stmt, 2, row.original[m_countColumn]);
        const int rc = sqlite3_step(stmt);
        const QString message = QString::fromUtf8(sqlite3_errmsg(db));
        sqlite3_finalize(stmt);
        if (rc != SQLITE_DONE)
            throw VbError(Connection::EngineErrorNumber, message);
        // A row already gone is as good as deleted; one written meanwhile is not deleted.
        if (m_countColumn >= 0 && sqlite3_changes(db) == 0 && rowStillThere(row))
            throw ChangeCount::changedMeanwhile(QStringLiteral("The record"));
    }
    m_rows.removeAt(m_pos);
}
