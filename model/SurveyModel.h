#pragma once

#include "core/Decimal.h"
#include "core/Variant.h"
#include "model/DraftCorrections.h"
#include "model/HydrostaticTable.h"
#include "model/SurveyFinding.h"
#include "model/SurveyInputRules.h"
#include "model/SurveyMessage.h"
#include "model/TankSheet.h"
#include "model/TankTable.h"
#include "model/SurveyParticulars.h"

#include <QHash>
#include <QList>
#include <QMap>
#include <QPair>
#include <QString>
#include <array>
#include <memory>
#include <optional>
#include <vector>

class SurveyDraft;
class ShipRecord;
class RowSet;

// One draft survey without a window: the ship, port, voyage and cargo, the Bill of Lading quantity
// of a discharge, the Initial draft (before cargo work) and the Final draft (after it), each with
// its readings, mark distances, density, hydrostatic rows and deductibles as the surveyor typed
// them, the draft panel worked out from them, the calculation of each draft, and what follows
// from the two: the ship's constant and the cargo.
//
// Every value goes in through the field rules the survey windows apply when a box is left. What
// the survey has to say on the way (a refused value, a failed check before Calculate, an
// implausible result) it returns in the outcome of the step, in order, and shows nothing itself:
// a window shows it, the command line prints it, so that both give the same figures, to the
// digit, and the same words.
class SurveyModel {
public:
    enum class Kind { Loading, Discharging };
    // Draft checks, read between the two, follow the Final draft: FirstCheck + n for check n.
    enum DraftIndex { Initial = 0, Final = 1, FirstCheck = 2 };
    enum Row { Below = 0, Above = 1 };
    // The fields of a draft, in the order the surveyor types them.
    enum class Field {
        Density, Date, Time,
        FwdPort, FwdStbd, MidPort, MidStbd, AftPort, AftStbd,
        FwdX, MidX, AftX,
        InitialNetDisplacement,  // typed on the Final tab when the Initial draft was worked elsewhere
    };
    enum class Table { Hydrostatics, MctcPlus50, MctcMinus50 };

    // One draft's inputs as the boxes hold them once accepted (rounded as written back).
    struct DraftInputs {
        QString density, date, time;
        std::array<QString, 6> readings;  // fwd port, fwd stbd, mid port, mid stbd, aft port, aft stbd
        std::array<QString, 3> marks;     // Fwd X, Mid X, Aft X
        // The Final draft works with the distances the Initial one left until one is typed.
        std::array<bool, 3> ownMarks{};
        std::array<std::array<QString, 4>, 2> hydrostatics;  // Below/Above: draft, displacement, TPC, LCF
        std::array<QString, 2> mctcPlus50, mctcMinus50;      // Below/Above
        QMap<int, QString> deductibles;   // by item id; a quantity as accepted
        QString comments;
        QString initialNetDisplacement;   // Final draft only
        // The TPC at the midship port and starboard drafts, typed for a list correction when the
        // ship has no table of her own.
        std::array<QString, 2> listTpc;
    };

    // Why a draft was not calculated: the field that stopped it, named as the survey file names it
    // below the draft ("density", "drafts.fwdPort", "hydrostatics.above.lcf", "mctcPlus50.below",
    // "drafts" when the readings together give no true mean draft) or in the header ("voyage").
    struct Calculation {
        // Where the calculation stopped, if it did.
        enum class Stop {
            None,
            Incomplete,          // a header field, the density, a reading or a mark is missing
            BlankTable,          // a hydrostatic or MCTC figure is missing
            NegativeDifference,  // the Above row's draft or displacement lies below the Below row's
            NoTrueMeanDraft,     // the readings, marks and LBP give no true mean draft
            NoNetDisplacement,   // worked out, but to no net displacement
        };
        bool calculated = false;
        Stop stop = Stop::None;
        QString field;
        bool headerField = false;
        // What the surveyor is told, in order: the check that stopped it, or the warnings on an
        // implausible result.
        SurveyMessages messages;
    };

    // Which results fall outside what a ship can float at: red in the windows.
    struct Plausibility {
        bool initialNetDisplacement = true;
        bool finalNetDisplacement = true;
        bool constant = true;            // loading: 0 < constant < 100000
        bool cargoLoaded = true;         // loading: not negative
        bool cargoPlusConstant = true;   // discharging: not negative
        bool cargoDischarged = true;     // discharging: not negative
        bool constantAfterDischarge = true;  // discharging: not negative
        bool assumedConstant = true;     // discharging: not negative
    };

    explicit SurveyModel(Kind kind);
    ~SurveyModel();
    SurveyModel(const SurveyModel&) = delete;
    SurveyModel& operator=(const SurveyModel&) = delete;

    bool isDischarging() const { return m_kind == Kind::Discharging; }

    // Starts afresh: both drafts emptied (their mark distances kept) and stamped with the date and
    // time now.
    void clear();

    // --- The header -------------------------------------------------------------------------
    // The ship by its id: both drafts take her particulars. Not accepted, with "Unable to retrieve
    // ship particulars.", when she cannot be read.
    SurveyInputRules::Outcome setShip(int shipId, const QString& name);
    // The id of the first ship of that name in the list of ships, as the ship list finds it.
    static std::optional<int> shipIdByName(const QString& name);
    bool hasShip() const { return m_shipId.has_value(); }
    std::optional<int> shipId() const { return m_shipId; }
    QString shipName() const { return m_shipName; }
    // The ship's name as a window shows it (empty when none is chosen there).
    void setShipName(const QString& name) { m_shipName = name; }
    ShipRecord& ship() const { return *m_ship; }
    QString lbpText() const;  // the ship's LBP as the window shows it

    bool setPortByName(const QString& name);  // false when the database has no port of that name
    void setPort(std::optional<int> portId, const QString& name);
    std::optional<int> portId() const { return m_portId; }
    QString portName() const { return m_portName; }
    // "PortName, Country" of a port by id; empty when there is none.
    QString portCaption(const Variant& portId) const;

    void setVoyage(const QString& v) { m_voyage = v; }
    QString voyage() const { return m_voyage; }
    void setCargo(const QString& c) { m_cargo = c; }
    QString cargo() const { return m_cargo; }
    // The Bill of Lading quantity of a discharge, through its field rule.
    SurveyInputRules::Outcome enterBLQuantity(const QString& typed);
    QString blQuantity() const { return m_blQuantity; }
    // The quantity as a window's box holds it, already through its rule: no message.
    void setBLQuantity(const QString& accepted) { m_blQuantity = accepted; }

    // Largest texts the boxes take; 0 when unlimited.
    static int voyageMaxLength() { return 15; }
    static int cargoMaxLength() { return 50; }
    static int maxLength(Field field);

    // --- The survey's particulars ----------------------------------------------------------
    // Who, where and in what weather: free text for the calculation sheet, checked by
    // SurveyParticulars::refusal where it is typed. A new survey starts without any.
    const SurveyParticulars& particulars() const { return m_particulars; }
    void setParticulars(const SurveyParticulars& particulars) { m_particulars = particulars; }

    // The drafts in the order they were taken: Initial, the draft checks of the "Daily" tab, Final.
    struct DraftTaken {
        int index;      // Initial, Final or a check's draft index
        QString title;  // "INITIAL DRAFT", as the calculation sheet heads its block
        SurveyDraft* draft;
    };
    QList<DraftTaken> draftsInOrder() const;

    // --- The drafts -------------------------------------------------------------------------
    // A value typed into a field of a draft and the field left: the rule's outcome, with what the
    // surveyor is to be told. The panel is worked out again when the rule says so.
    SurveyInputRules::Outcome enter(int draft, Field field, const QString& typed);
    SurveyInputRules::Outcome enterTable(int draft, Table table, int row, int column, const QString& typed);
    SurveyInputRules::Outcome enterDeductible(int draft, int itemId, const QString& typed);
    void setComments(int draft, const QString& comments);

    // --- The list correction (chosen per survey, off by default) ----------------------------
    // 6 x |midship port - midship starboard draft| (m) x |TPC at the port - TPC at the starboard
    // draft| (t/cm), in tonnes, always added. The TPCs come from the ship's table at those drafts,
    // or, for a ship without one, as typed.
    bool listCorrection() const { return m_listCorrection; }
    void setListCorrection(bool on) { m_listCorrection = on; }
    enum ListSide { Port = 0, Starboard = 1 };
    // A TPC typed for the list correction, through the TPC column's rule.
    SurveyInputRules::Outcome enterListTpc(int draft, int side, const QString& typed);
    // Whether the TPCs come from the ship's table (no boxes to type them into).
    bool listTpcFromTable() const;

    const DraftInputs& inputs(int draft) const { return m_inputs[draft]; }
    // A draft's inputs as a window's boxes hold them, already checked there field by field.
    DraftInputs& editInputs(int draft) { return m_inputs[draft]; }
    // The mark distance a draft works with: its own, or the one the other draft left standing.
    QString markText(int draft, int mark) const;
    // The draft panel of a draft, unrounded; false in `valid` when a reading is no figure.
    DraftCorrections::Result panel(int draft, bool* valid = nullptr) const;
    DraftCorrections::Texts panelTexts(int draft) const;

    // The deductible items in the order the deductibles grid lists them (id, name).
    static QList<QPair<int, QString>> deductionCatalogue();

    // Calculate for one draft, with every check the window makes before and after it.
    Calculation calculate(int draft);
    // The inputs handed to the draft as Calculate hands them (also before a report is filled).
    void copyToDraft(int draft);

    // --- The ship's hydrostatic table --------------------------------------------------------
    // The ship's own table, read when she is chosen (and again by reloadTable()); none when she
    // has none, and the rows are typed as they always were.
    const std::optional<HydrostaticTable>& table() const { return m_table; }
    // Reads the ship's table again; what the surveyor is to be told when it cannot be read (the
    // survey goes on with typed rows).
    SurveyMessages reloadTable();
    // The table's rows at the draft's true mean draft (once its six readings are in), in every
    // cell of its three tables not typed over the table: a cell emptied takes the table's figure
    // again. Outside the table nothing is picked (nothing is ever extrapolated) and the reason is
    // returned; empty otherwise, and while there is no table or no true mean draft.
    QString pickRows(int draft);
    // The cells of the draft's tables holding a figure typed over the ship's table, by their
    // names in the survey file ("hydrostatics.below.lcf", "mctcPlus50.above"), in table order.
    QStringList typedOverTable(int draft) const;
    bool isTypedOverTable(int draft, const QString& cell) const;
    // A draft's rows as a survey file brought them: the cells `typed` names were typed over the
    // table and the others picked from it; without that record (an older file), a cell holding
    // the table's own figure for its row counts as picked. The rows are then picked again at the
    // draft's true mean draft.
    void adoptRows(int draft, const std::optional<QStringList>& typed);

    SurveyDraft& draft(int index) const { return *m_drafts[index]; }
    // The draft was calculated and none of the figures it was worked out from (density, readings,
    // mark distances, table rows, deductibles) has changed since: its results stand. Changed, its
    // results, and the constant, cargo and findings that follow from them, stand no more.
    bool calculated(int draft) const { return m_calculated[draft] && !outdated(draft); }
    // The draft was calculated, and a figure it was worked out from has changed since.
    bool outdated(int draft) const;
    // The draft's last Calculate was refused past the checks of its inputs (a negative
    // Difference, no true mean draft): its earlier results are withdrawn.
    bool withdrawn(int draft) const { return m_withdrawn[draft]; }

    // --- What follows from the drafts -------------------------------------------------------
    // Net displacement of a draft as the result grid shows it; empty when not worked out.
    QString netDisplacementText(int draft) const;
    // What follows is worked out from the drafts as they stand: a draft calculated again, or a
    // ship with another light ship, changes it at once.
    // Loading: Initial net displacement less light ship.
    std::optional<Decimal> constant() const;
    // Discharging: on arrival, net displacement less light ship; and that against the B/L
    // quantity (with no arrival draft worked out, against nothing).
    std::optional<Decimal> cargoPlusConstant() const;
    std::optional<Decimal> assumedConstant() const;
    // The initial net displacement the cargo is worked from on the Final tab: the Initial draft's
    // own, or the one typed there when it has none.
    Decimal initialNetDisplacement() const;
    // Loading: Final less Initial net displacement. Discharging: Initial less Final.
    std::optional<Decimal> cargoQuantity() const;
    // Discharging: what the ship weighs beyond her light ship after discharge.
    std::optional<Decimal> constantAfterDischarge() const;
    Plausibility plausibility() const;
    // What the surveyor is told each time a calculated draft is shown again, so that it is not
    // forgotten: a discharge whose arrival draft weighs less than her light ship.
    SurveyMessages resultWarnings(int draft) const;

    // The Difference rows, Above less Below, as the last Calculate of a draft that got past the
    // blank checks worked them out (empty before): the hydrostatic table's four columns, and
    // each MCTC table's draft and MCTC.
    struct Differences {
        std::array<QString, 4> hydrostatics;
        std::array<QString, 2> mctcPlus50, mctcMinus50;
    };
    // Nothing while the draft's rows or readings changed since (see outdated()).
    Differences differences(int draft) const { return outdated(draft) ? Differences() : m_differences[draft]; }

    // --- What to look at before signing ----------------------------------------------------
    // The findings on the drafts calculated (Initial first) and then on the survey as a whole.
    SurveyFindings findings() const;
    // The draft was calculated: its findings, and the survey's, are worked out afresh. Calculate
    // does this itself; a window that calculates on its own calls it after.
    void checkDraft(int draft);
    // The draft's results were withdrawn: its findings, and the survey's, go with them.
    void clearFindings(int draft);

    // --- What the report follows ------------------------------------------------------------
    // The draft on show when the report is asked for, whether the Initial draft counts as
    // calculated, the Total Cargo figure and the initial net displacement as shown. Worked out
    // by Calculate; a survey window that keeps them itself sets them before a report.
    struct ReportView {
        int draftOnShow = Initial;
        bool initialCalculated = false;
        QString cargoResult;
        QString initialNetDisplacement;
        QString fwdX, midX, aftX;
        bool copiesInputs = true;  // the draft on show takes its inputs before the report
    };
    ReportView reportView() const;
    void setReportView(const ReportView& view) { m_view = view; }
    void setDraftOnShow(int draft) { m_onShow = draft; }
    int draftOnShow() const { return m_onShow; }

    // --- The tank sheets ------------------------------------------------------------------
    // The ship's tank tables, read with her hydrostatic table (none for a ship without them).
    const TankTables& tankTables() const { return m_tankTables; }
    void setTankTables(const TankTables& tables) { m_tankTables = tables; }
    // A tank's reading, density or hand-typed volume on a draft's sheet, through its rule; a tank
    // the ship's tables do not know is refused. An entry emptied of all three leaves the sheet.
    SurveyInputRules::Outcome enterTank(int draft, const QString& tank, TankSheetWork::Field field,
                                        const QString& typed);
    const TankSheet& tankSheet(int draft) const;
    // The draft's sheet at its true trim (as the panel shows it, to 3 places) and its list (from
    // the midship readings and the ship's breadth).
    TankSheetWork::Result tankWork(int draft) const;

    // The figures of a survey in the windows' own arithmetic, for the windows to show.
    static Decimal loadingConstant(const Decimal& net, const Variant& lightShip);
    static Decimal cargoLoaded(const Decimal& finalNet, const Decimal& initialNet);
    static Decimal cargoDischarged(const Decimal& initialNet, const Decimal& finalNet);

    // --- Draft checks between the Initial and the Final draft ------------------------------
    // Drafts read while cargo is worked (before the last pours of a loading, daily at a long
    // discharge): each a full draft, entered, checked and calculated as the Initial and Final ones
    // are, under its draft index FirstCheck + n. The Final draft's results stand apart from them.
    int checkCount() const { return int(m_drafts.size()) - FirstCheck; }
    // The draft indices of the checks, in the order taken.
    QList<int> draftChecks() const;
    static bool isCheck(int draft) { return draft >= FirstCheck; }
    // 1 for the first check, as the surveyor counts them.
    static int checkNumber(int draft) { return draft - FirstCheck + 1; }
    // A new check at the end of the list, stamped with the date and time now; its draft index.
    int addCheck();
    // The check of that draft index goes; the checks after it move up one place.
    void removeCheck(int draft);
    // The check the surveyor works on; Final when there is none.
    int chosenCheck() const { return m_chosenCheck; }
    void chooseCheck(int draft);
    // Loading: the cargo the terminal was asked to load, optional; through its field rule.
    SurveyInputRules::Outcome enterPlannedCargo(const QString& typed);
    QString plannedCargo() const { return m_plannedCargo; }
    void setPlannedCargo(const QString& accepted) { m_plannedCargo = accepted; }
    // The cargo since the Initial draft at a calculated draft (a check or the Final draft), in the
    // very arithmetic of the Total Cargo: loaded (draft less Initial) or discharged.
    std::optional<Decimal> cargoSince(int draft) const;
    // Loading, with a planned cargo: what is still to load after that check.
    std::optional<Decimal> cargoToLoad(int draft) const;
    // Discharging, with a B/L quantity: what is still on board of it at that check.
    std::optional<Decimal> cargoOnBoard(int draft) const;
    // What the checks before signing found on that draft alone (worked out when it calculated).
    SurveyFindings draftFindings(int draft) const;

private:
    QString fieldName(Field field) const;
    bool checkComplete(int draft, Calculation* c);
    bool checkTables(int draft, Calculation* c);
    // Works out the list correction of a draft when the survey applies one; false, with what
    // is missing told, when a TPC cannot be had.
    bool checkList(int draft, const std::optional<HydrostaticTable>& table, Calculation* c);
    Differences workDifferences(int draft) const;
    QString firstNegativeDifference(int draft) const;
    void withdraw(int draft);
    // The ship's table as the survey read it; nothing for a ship without one.
    std::optional<HydrostaticTable> shipTable() const;
    // What the ship's table says of its rows, handed to the draft before it calculates.
    void applyTableTerms(int draft, const std::optional<HydrostaticTable>& table);
    // What a calculation of the draft was worked out from, to tell when its results no longer
    // stand: the inputs, with the mark distances the draft worked with.
    struct WorkedFrom {
        DraftInputs inputs;
        std::array<QString, 3> marks;
        bool listCorrection = false;
        TankSheet tanks;
    };
    WorkedFrom workedFrom(int draft) const;
    // The net displacement of a calculated draft (0 when it came to none); nothing otherwise.
    std::optional<Decimal> netOf(int draft) const;
    void checkPlausibility(int draft, SurveyMessages* told);
    Decimal lightShip() const;
    // The group totals of the draft's tank sheet into its deductibles, through the deductibles'
    // own rule; false, with the tanks refused told, when a tank has no weight.
    bool applyTanks(int draft, Calculation* c);

    // The draft's twelve table cells (four per row of the hydrostatic table, the MCTC of each
    // row in the two MCTC tables) by name, in table order.
    std::array<std::pair<QString, QString*>, 12> tableCells(int draft);
    std::optional<Decimal> pickingDraft(int draft) const;

    Kind m_kind;
    std::unique_ptr<ShipRecord> m_ship;
    std::optional<HydrostaticTable> m_table;
    // Per draft: the figure a pick last wrote into each cell; a cell holding another was typed.
    std::vector<QHash<QString, QString>> m_picked;
    std::vector<std::unique_ptr<SurveyDraft>> m_drafts;
    std::vector<DraftInputs> m_inputs;
    std::vector<bool> m_calculated;
    std::vector<bool> m_withdrawn;
    std::vector<WorkedFrom> m_workedFrom;
    std::optional<int> m_shipId;
    QString m_shipName;
    std::optional<int> m_portId;
    QString m_portName;
    QString m_voyage, m_cargo, m_blQuantity;
    std::vector<Differences> m_differences;
    int m_onShow = Initial;
    std::optional<ReportView> m_view;  // as a survey window set it; else worked out
    std::vector<SurveyFindings> m_draftFindings;
    std::vector<bool> m_checked;  // the draft's findings stand for its results on show
    SurveyFindings m_surveyFindings;
    bool m_listCorrection = false;
    std::vector<std::optional<Decimal>> m_listTonnes;  // as the last checkList worked it out
    TankTables m_tankTables;
    SurveyParticulars m_particulars;
    // The draft checks.
    int m_chosenCheck = Final;
    QString m_plannedCargo;
    // Room for one more draft in every per-draft list, stamped as a fresh draft is.
    int appendDraft(qint16 type);
};
