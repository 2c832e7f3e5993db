#pragma once
// The loading survey and the discharging survey the survey tests share, Ocean Pride at Kandla
// (SurveyTestShips: LBP 180, light ship 8000), as the surveyor types them. The model tests enter
// them as they stand; the window tests type them through SurveyWindowDriver::typed(). No widget
// here. A test that needs other figures for a case of its own keeps them beside the case.
//
// Worked by hand (python3, decimal, 28 digits, half to even; the true trim taken as the panel
// shows it, to 3 places):
//   Loading, Initial: TMD 7.25, k 0.5, displacement 30200, trim corrections -65.49667 and 8.2,
//     x 1.015 / 1.025, less 500 deductibles: net 29348.62818, constant 21348.62818.
//   Loading, Final: TMD 9, k 0.5, displacement 38210, corrections -24.66 and 8.2, x 1.02 / 1.025,
//     less 300: net 37707.23005, cargo loaded 8358.60187.
//   Discharging, arrival: LBM 185.5, TMD 9.50973046, displacement 40043.78706, corrections
//     -28.72867 and 5.03441, x 1.018 / 1.025, less 995.75: net 38751.03485, cargo + constant
//     30751.03485, against the bill of 30400 an assumed constant of 351.03485.
//   Discharging, departure: TMD 3.12337601, displacement 9689.99764, corrections 46.06143 and
//     6.51937, x 1.022 / 1.025, less 1295.5: net 8418.56357; cargo discharged 30332.47128, constant
//     after discharge 418.56357.
#include "files/SurveyFile.h"

#include <QString>
#include <QStringList>

namespace SurveySamples {

// The deductible items in the order the deductibles grid lists them (the delivered catalogue):
// fuel, diesel, lube oil, fresh water, ballast, provisions, misc 1, misc 2.
inline const int kDeductibleItems[8] = {2, 3, 24, 25, 26, 27, 28, 29};

// One draft as typed: readings FP, FS, MP, MS, AP, AS; marks Fwd X, Mid X, Aft X; the Below and
// Above hydrostatic rows (draft, displacement, TPC, LCF); MCTC+50 and MCTC-50 Below and Above.
inline SurveyDraftData draft(const QString& density, const QStringList& readings, const QStringList& marks,
                             const QStringList& below, const QStringList& above,
                             const QStringList& mctcPlus50, const QStringList& mctcMinus50,
                             const QList<QPair<int, QString>>& deductibles)
{
    SurveyDraftData d;
    d.density = density;
    d.fwdPort = readings.value(0);
    d.fwdStbd = readings.value(1);
    d.midPort = readings.value(2);
    d.midStbd = readings.value(3);
    d.aftPort = readings.value(4);
    d.aftStbd = readings.value(5);
    d.fwdX = marks.value(0);
    d.midX = marks.value(1);
    d.aftX = marks.value(2);
    for (int c = 0; c < 4; ++c) {
        d.below[c] = below.value(c);
        d.above[c] = above.value(c);
    }
    d.mctcPlus50Below = mctcPlus50.value(0);
    d.mctcPlus50Above = mctcPlus50.value(1);
    d.mctcMinus50Below = mctcMinus50.value(0);
    d.mctcMinus50Above = mctcMinus50.value(1);
    d.deductibles = deductibles;
    return d;
}

// --- Loading -------------------------------------------------------------------------------

// Before loading: 1.2 m by the stern about a true mean draft of 7.25 m, the marks on the
// perpendiculars and midships; fuel and diesel on board.
inline SurveyDraftData loadingInitial()
{
    return draft("1.015", {"6.65", "6.65", "7.25", "7.25", "7.85", "7.85"}, {"0", "0", "0"},
                 {"7.2", "30000", "40.0", "-2.5"}, {"7.3", "30400", "40.2", "-2.4"}, {"420", "424"},
                 {"400", "403"}, {{2, "300"}, {3, "200"}});
}

// After loading: the same trim about 9.0 m; fuel, diesel and fresh water.
inline SurveyDraftData loadingFinal()
{
    return draft("1.02", {"8.4", "8.4", "9", "9", "9.6", "9.6"}, {"0", "0", "0"},
                 {"8.95", "38000", "41.0", "-1.0"}, {"9.05", "38420", "41.2", "-0.8"}, {"440", "444"},
                 {"420", "423"}, {{2, "150"}, {3, "100"}, {25, "50"}});
}

// --- Discharging ---------------------------------------------------------------------------

// On arrival, loaded: 0.8 m by the stern on marks 2.5 m abaft the forward and 3 m forward of the
// aft perpendicular, about a true mean draft of 9.51 m; fuel, diesel, lube oil, water.
inline SurveyDraftData arrival()
{
    return draft("1.018", {"9.1", "9.12", "9.5", "9.52", "9.9", "9.92"}, {"2.5", "0", "-3"},
                 {"9.5", "40000", "45.0", "-1.5"}, {"9.6", "40450", "45.1", "-1.3"}, {"480", "485"},
                 {"450", "454"}, {{2, "650.5"}, {3, "120.25"}, {24, "15"}, {25, "210"}});
}

// After discharge, light: 1.11 m by the stern about 3.12 m, with ballast taken in.
inline SurveyDraftData departure()
{
    return draft("1.022", {"2.6", "2.62", "3.1", "3.12", "3.7", "3.74"}, {"2.5", "0", "-3"},
                 {"3.1", "9600", "38.0", "2.0"}, {"3.2", "9985", "38.2", "2.1"}, {"360", "363"},
                 {"340", "342"}, {{2, "420.5"}, {3, "80"}, {24, "15"}, {25, "180"}, {26, "600"}});
}

// The cargo the Bill of Lading says was loaded for this port.
inline QString billOfLading()
{
    return QStringLiteral("30400");
}

// --- Whole surveys -------------------------------------------------------------------------

// The header both surveys are typed under.
inline SurveyFileData header(SurveyFileData::Kind kind)
{
    SurveyFileData data;
    data.kind = kind;
    data.ship = QStringLiteral("Ocean Pride");
    data.port = QStringLiteral("Kandla");
    data.voyage = QStringLiteral("V-042");
    data.cargo = QStringLiteral("Iron ore fines");
    return data;
}

// The loading survey: header, Initial and Final drafts.
inline SurveyFileData loading()
{
    SurveyFileData data = header(SurveyFileData::Kind::Loading);
    data.initial = loadingInitial();
    data.final = loadingFinal();
    return data;
}

// The discharging survey: header, the bill, arrival and departure.
inline SurveyFileData discharging()
{
    SurveyFileData data = header(SurveyFileData::Kind::Discharging);
    data.blQuantity = billOfLading();
    data.initial = arrival();
    data.final = departure();
    return data;
}

// The quantity of a deductible item in a draft; empty when the draft has none.
inline QString deductible(const SurveyDraftData& d, int itemId)
{
    for (const auto& [id, quantity] : d.deductibles)
        if (id == itemId)
            return quantity;
    return QString();
}

}  // namespace SurveySamples
