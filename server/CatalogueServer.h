#pragma once

#include "db/HydrostaticStore.h"
#include "db/SqlCatalogue.h"
#include "db/TankStore.h"
#include "server/CatalogueCopy.h"
#include "server/PgSession.h"

#include <QString>
#include <functional>
#include <future>
#include <memory>

class Connection;

// The company's catalogue server as one program uses it: which server (the URI of --server or of
// the settings), whether it was in reach the last time it was asked, and the two ways the copy
// and the server meet: bringing the copy up to date, and a change made on the server first and
// then in the copy. Without a URI nothing here connects to anything.
class CatalogueServer {
public:
    CatalogueServer() = default;
    ~CatalogueServer();
    CatalogueServer(const CatalogueServer&) = delete;
    CatalogueServer& operator=(const CatalogueServer&) = delete;

    // The program's one: the window, the command line and the database tool use it.
    static CatalogueServer& shared();

    // The URI kept in the settings (section "Server", key "URI"); never a password: one in the
    // URI is taken out before it is kept.
    static QString savedUri();
    static void saveUri(const QString& uri);

    void setUri(const QString& uri);
    QString uri() const { return m_uri; }
    bool isSet() const { return !m_uri.isEmpty(); }
    // A password typed in the window, for this run only.
    void setPassword(const QString& password) { m_password = password; }

    // False once the server was found out of reach, until it is reached again.
    bool inReach() const { return m_inReach; }
    // Why it was out of reach (libpq's words).
    QString reachError() const { return m_reachError; }
    // True when the last failure to connect was for want of a password.
    bool neededPassword() const { return m_neededPassword; }
    // Whether the catalogue may be changed: always without a server, with one only in reach.
    bool writable() const { return !isSet() || m_inReach; }
    // What a catalogue window says while it cannot be changed.
    QString readOnlyReason() const;

    struct UpdateOutcome {
        bool done = false;
        bool unreachable = false; // else a refusal or a fault of the copy
        QString error;
        int rows = 0; // rows brought into the copy
        QString updatedAt; // ISO, UTC
    };
    // Brings `copy` up to date, at once (the command line).
    UpdateOutcome update(Connection& copy);
    // The same in two halves, for the window: the server is read on a thread of its own, with a
    // session of its own, while the window goes on; finishUpdate writes what was read into the
    // copy (a short transaction) on the caller's thread.
    struct Fetched {
        bool ok = false;
        bool unreachable = false;
        bool neededPassword = false;
        QString error;
        CatalogueCopy::Changes changes;
    };
    std::future<Fetched> beginUpdate(Connection& copy);
    UpdateOutcome finishUpdate(Connection& copy, Fetched fetched);

    struct WriteOutcome {
        bool done = false;
        bool conflict = false; // someone else changed the row since the copy read it
        bool unreachable = false;
        QString message; // what to tell: the server's refusal, or the other change
        int id = 0; // the new ship's or port's id
    };
    // A ship added (shipId 0) or changed, on the server and then in the copy.
    // Her keel plate (a figure's text, empty for none) goes with her.
    WriteOutcome saveShip(
        Connection& copy, int shipId, const SqlCatalogue::ShipValues& values, const QString& keelPlate = {});
    WriteOutcome deleteShip(Connection& copy, int shipId);
    WriteOutcome savePort(
        Connection& copy, int portId, const QString& name, const QString& city, const QString& country);
    WriteOutcome deletePort(Connection& copy, int portId);
    // A ship's hydrostatic table replaced (or given), and removed.
    WriteOutcome saveHydrostatics(Connection& copy, int shipId, const HydrostaticStore::StoredTable& table);
    WriteOutcome removeHydrostatics(Connection& copy, int shipId);
    // A ship's tank tables replaced by `tanks` (all of them, in their order; none takes them all
    // off), on the server and then in the copy. Refused (conflict) when someone else has written
    // them since the copy took them; the copy then holds theirs, and the message shows the change.
    WriteOutcome saveTanks(Connection& copy, int shipId, const QVector<TankStore::StoredTank>& tanks);

    // The session, connected when it is not; throws ServerError.
    PgSession& session();
    // The same, after making sure a session kept from before still answers.
    PgSession& freshSession();
    // Drops the session (the next use connects again) and marks the server out of reach.
    void lost(const QString& why);

    // Called whenever the server is found out of reach, or in reach again (the windows show it).
    void setReachListener(std::function<void()> listener) { m_reachListener = std::move(listener); }

private:
    WriteOutcome write(Connection& copy, const std::function<WriteOutcome(PgSession&)>& onServer,
        const std::function<CatalogueCopy::Changes(PgSession&)>& afterwards);

    void setInReach(bool inReach);

    std::function<void()> m_reachListener;
    QString m_uri;
    QString m_password;
    bool m_inReach = true;
    bool m_neededPassword = false;
    QString m_reachError;
    std::unique_ptr<PgSession> m_session;
};
