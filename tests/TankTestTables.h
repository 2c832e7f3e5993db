#pragma once

#include "model/TankTable.h"

// Small tank tables whose volumes can be worked out by hand, for the tank tests.
namespace TankTestTables {

inline Decimal d(const char* text)
{
    return *Decimal::parse(QString::fromLatin1(text), QLocale::c());
}

inline QVector<Decimal> ds(std::initializer_list<const char*> texts)
{
    QVector<Decimal> out;
    for (const char* t : texts)
        out.append(d(t));
    return out;
}

// A double-bottom ballast tank sounded in 50 cm steps at trims -1, 0, 1 and 2 m (by the stern
// positive), with heel columns at 2 degrees to port and to starboard.
inline Tank ballastTank(const QString& name = QStringLiteral("DB1P"))
{
    Tank t;
    t.name = name;
    t.group = TankGroup::Ballast;
    t.gauge = TankGauge::Sounding;
    t.density = d("1.025");
    t.trims = ds({"-1", "0", "1", "2"});
    t.heels = ds({"-2", "2"});
    t.rows = {
        {d("0"), ds({"0", "0", "0", "0"}), ds({"0", "0"})},
        {d("50"), ds({"10", "12", "14", "16"}), ds({"-0.4", "0.6"})},
        {d("100"), ds({"30", "32", "34", "36"}), ds({"-0.8", "1.0"})},
        {d("150"), ds({"50", "52", "54", "56"}), ds({"-1.0", "1.2"})},
    };
    return t;
}

// A fresh-water tank gauged by ullage at trims 0 and 1 m, without heel columns.
inline Tank ullageTank(const QString& name = QStringLiteral("FWT"))
{
    Tank t;
    t.name = name;
    t.group = TankGroup::FreshWater;
    t.gauge = TankGauge::Ullage;
    t.density = d("1.000");
    t.trims = ds({"0", "1"});
    t.rows = {
        {d("0"), ds({"100", "98"}), {}},
        {d("100"), ds({"60", "58"}), {}},
        {d("200"), ds({"0", "0"}), {}},
    };
    return t;
}

// A fuel oil tank with ten rows along a straight line (5 m3 per 10 cm) at one trim, 0 m.
inline Tank fuelTank(const QString& name = QStringLiteral("FO1"))
{
    Tank t;
    t.name = name;
    t.group = TankGroup::FuelOil;
    t.density = d("0.95");
    t.trims = ds({"-1", "1"});
    for (int i = 0; i < 10; ++i)
        t.rows.append({Decimal(i * 10), {Decimal(i * 5), Decimal(i * 5)}, {}});
    return t;
}

} // namespace TankTestTables
