#pragma once

#include "core/Variant.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <QVector>

class Connection;
struct sqlite3_stmt;

// A query's rows held in memory on the client side. It is updatable: addNew and setValue change
// the rows in memory and, unless the row set was opened with WriteBack, nothing reaches the
// database. A WriteBack row set (a single table with an integer primary key among its columns)
// writes a changed or added row to its table when update() is called, or when the cursor leaves
// a row with pending changes, and deleteCurrent() deletes the row from the table at once. A table
// that counts its writes (ChangeCount) refuses, with VbError ChangeCount::ChangedMeanwhile, the
// update or delete of a row written by someone else since it was read.
//
// Values come back as Variants: Null for a database null (distinct from an empty text), Long for
// integer columns, Decimal for the numeric columns (never a double), Text for texts.
// Reading or moving on a closed row set, or reading with no current row, throws VbError.
class RowSet {
public:
    enum class Mode { InMemory, WriteBack };
    enum State { StateClosed = 0, StateOpen = 1 };

    RowSet();
    ~RowSet();
    RowSet(const RowSet&) = delete;
    RowSet& operator=(const RowSet&) = delete;
    RowSet(RowSet&&) noexcept;
    RowSet& operator=(RowSet&&) noexcept;

    // Runs the query on the connection and keeps all its rows; the cursor is on the first row
    // (or at the end when there is none). Throws VbError; the row set then stays closed.
    void open(const QString& sql, Connection& connection, Mode mode = Mode::InMemory);
    // Runs the same query again on the same connection (after the table changed).
    void requery();
    bool isOpen() const;
    int state() const;  // StateClosed or StateOpen
    void close();

    int recordCount() const;
    void moveFirst();
    void moveNext();
    bool eof() const;  // also true when there are no rows
    // The current row's index from 0, or -1 at the end.
    int position() const;

    // Criterion "Column = value": value is a number (123, -1, 12.5) or a text in single quotes
    // with doubled quotes inside ('O''Brien''s Pride'). Searches from the first row forwards and
    // stops on the first row whose value equals; with no match the row set is left at its end.
    // Returns true when a row was found.
    bool find(const QString& criterion);

    // Appends an empty row (all Null) and makes it current.
    void addNew();

    Variant value(const QString& column) const;
    // Stores the value converted to the column's kind (numeric columns take exact decimals,
    // integer columns 32-bit integers, text columns texts); Empty and Null store Null.
    void setValue(const QString& column, const Variant& value);

    QStringList columnNames() const;
    bool hasColumn(const QString& column) const;

    // WriteBack: writes the current row's pending change or addition to the table at once and
    // reads the row back (an added row learns its assigned key). InMemory: nothing to do.
    void update();
    // Abandons the pending change of the current row (an added, unwritten row is removed).
    void cancelUpdate();
    bool editPending() const;
    // WriteBack: deletes the current row from the table; InMemory: from memory only.
    // The cursor then stands on the row that followed (or at the end).
    void deleteCurrent();

private:
    struct Column {
        QString name;
        QString origin;  // the table's own name of the column
        enum Kind { Any, Integer, Numeric, Text } kind = Any;
    };
    struct Row {
        QVector<Variant> values;
        QVector<Variant> original;  // values as last read from or written to the table
        bool added = false;
        bool changed = false;
    };

    int columnIndex(const QString& column) const;  // throws when unknown
    void requireOpen() const;
    void requireCurrent() const;
    void leaveRow();  // writes back a pending change before the cursor moves
    Variant convertForColumn(const Column& column, const Variant& value) const;
    void load();
    QString integerKeyOf(const QString& table) const;
    static Variant readColumn(sqlite3_stmt* stmt, int i, Column::Kind kind);
    // A table with a ChangeCount column (see ChangeCount.h): a row is updated or deleted only
    // while it holds the count it was read with, and every update raises it.
    QString countedSet() const;
    void appendCountRead(QString& sql, QList<Variant>& values, const Row& row) const;
    bool rowStillThere(const Row& row) const;
    [[noreturn]] void refuseChanged(const Row& row) const;

    Connection* m_connection = nullptr;
    QString m_sql;
    Mode m_mode = Mode::InMemory;
    bool m_open = false;
    QVector<Column> m_columns;
    QList<Row> m_rows;
    int m_pos = 0;
    QString m_table;  // WriteBack: the table written to
    int m_keyColumn = -1;  // WriteBack: index of the integer primary key
    int m_countColumn = -1;  // WriteBack: index of ChangeCount, when the table counts its writes
    int m_posBeforeAdd = 0;  // where cancelUpdate of an added row returns to
};
