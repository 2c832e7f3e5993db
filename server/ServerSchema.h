#pragma once

#include <QString>
#include <QStringList>

class PgSession;

// The catalogue on the company's PostgreSQL server: the same tables as DS.dat's catalogue (Port,
// Ship, DeductionMaster, HydrostaticTable, HydrostaticRow, and the ships' tank tables TankTable
// and TankRow under one TankTableChanges row per ship), each row with the change number the
// server gave it when it was last written, and Removed, which remembers the rows deleted, so that
// a copy learns of them. The numbers come from one sequence, taken under one lock per writing
// transaction (in the triggers, whoever writes): a copy that has seen number N has seen every
// change up to N.
//
// Two roles: quorvane_reader reads and adds rows; quorvane_editor may also change and delete
// them. They cannot sign in: the company's users are made members of one or the other. The
// program asks for nothing else: what the server refuses, it reports.
namespace ServerSchema {

inline constexpr const char* ReaderRole = "quorvane_reader";
inline constexpr const char* EditorRole = "quorvane_editor";

// Creates the tables, the triggers and the two roles (when missing), and fills the deductible
// items, in one transaction. Run by the database's owner with the right to make roles. A server
// set up by an older program gains the columns it lacks (upgrade); one already up to date is
// refused with ServerError, and nothing changes.
void init(PgSession& session);

// Adds to a catalogue made by an older program the columns and tables it lacks (a ship's keel
// plate, a table's drafts and LCF convention, the ships' tank tables), in one transaction; returns
// them ("ship.keelplate", "tanktable"), none when it had them all. Run by the tables' owner.
// Throws ServerError.
QStringList upgrade(PgSession& session);

// True when the server holds the catalogue's tables.
bool present(PgSession& session);

// The server's identity, made at init: a copy brought up to date from another server (or a
// catalogue made again) starts afresh.
QString identity(PgSession& session);

} // namespace ServerSchema
