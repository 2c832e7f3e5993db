#pragma once

// Drives a survey window (Loading or Discharging) as a surveyor does: a ship picked from the list,
// the header and readings typed, Enter and Tab from box to box, the hydrostatic rows and the
// deductibles filled, Calculate, the tabs switched; and reads back what the window shows.
// A test class derives from it besides QObject and points `m_window` at the window under test.
#include "db/Database.h"
#include "core/MessageService.h"
#include "db/Connection.h"
#include "survey/GridEditor.h"
#include "tests/SurveySamples.h"
#include "tests/SurveyTestShips.h"
#include "tests/TestSupport.h"

#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QMap>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTabBar>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QtTest>

class SurveyWindowDriver {
public:
    static inline const QColor Red{255, 0, 0};

    // One draft as the surveyor types it.
    struct Draft {
        QString density;
        QStringList readings;    // FP, FS, MP, MS, AP, AS
        QStringList marks;       // Fwd X, Mid X, Aft X
        QStringList below;       // Hyd. Draft, Displacement, TPC, LCF
        QStringList above;
        QStringList mctcPlus;    // Below, Above
        QStringList mctcMinus;   // Below, Above
        QStringList deductions;  // in catalogue order, blank for none
        QString comments = {};   // the remarks, when a test gives any
    };

    // A draft of the shared surveys (SurveySamples) as the surveyor types it: the deductibles in
    // the grid's order, blank where the draft has none.
    static Draft typed(const SurveyDraftData& d)
    {
        Draft t;
        t.density = d.density;
        t.readings = {d.fwdPort, d.fwdStbd, d.midPort, d.midStbd, d.aftPort, d.aftStbd};
        t.marks = {d.fwdX, d.midX, d.aftX};
        for (int c = 0; c < 4; ++c) {
            t.below << d.below[c];
            t.above << d.above[c];
        }
        t.mctcPlus = {d.mctcPlus50Below, d.mctcPlus50Above};
        t.mctcMinus = {d.mctcMinus50Below, d.mctcMinus50Above};
        for (int item : SurveySamples::kDeductibleItems)
            t.deductions << SurveySamples::deductible(d, item);
        t.comments = d.comments;
        return t;
    }

    // Ocean Pride before loading at Kandla, a draft that calculates: trimmed by the stern, the
    // marks off the perpendiculars, a level hull. Not the shared loading survey's Initial draft:
    // the report tests print every caption of it, so every deductible item has a figure and the
    // marks give corrections of their own.
    static Draft lightDraft()
    {
        return {"1.015",
                {"6.60", "6.70", "7.24", "7.26", "7.84", "7.86"},
                {"1.5", "0", "-2"},
                {"7.2", "30000", "40.0", "-2.5"},
                {"7.3", "30400", "40.2", "-2.4"},
                {"420", "424"},
                {"400", "403"},
                {"310.5", "42.25", "3.1", "120", "1500.75", "2", "", "0.5"},
                "Ballast sounded twice"};
    }

    // Every figure a survey window shows, name to text: the named boxes and lists, every grid
    // cell, the comments. The grids' floating edit boxes are left out: they only repeat the cell
    // they lie over.
    static QMap<QString, QString> onScreen(const QWidget* w)
    {
        QMap<QString, QString> f;
        const QStringList editors = {"txtHDTGridTextbox", "txtMPGridTextbox", "txtMMGridTextbox",
                                     "txtGridTextbox"};
        for (const QLineEdit* e : w->findChildren<QLineEdit*>()) {
            if (!e->objectName().isEmpty() && !editors.contains(e->objectName()))
                f.insert(e->objectName(), e->text());
        }
        for (const QComboBox* c : w->findChildren<QComboBox*>())
            f.insert(c->objectName(), c->currentText());
        for (const SurveyGrid* g : w->findChildren<SurveyGrid*>())
            for (int r = 0; r < g->rowCount(); ++r)
                for (int c = 0; c < g->columnCount(); ++c)
                    f.insert(QStringLiteral("%1(%2,%3)").arg(g->objectName()).arg(r).arg(c), g->text(r, c));
        f.insert(QStringLiteral("txtComments"), w->findChild<QPlainTextEdit*>("txtComments")->toPlainText());
        return f;
    }

    // Headless, on a fresh copy of the delivered database in `dir`, with the ships and ports above.
    static void openFreshDatabase(const QTemporaryDir& dir)
    {
        TestSupport::initTestEnvironment();
        QVERIFY(dir.isValid());
        QVERIFY(TestSupport::openFreshDatabaseCopy(dir));
        SurveyTestShips::insert();
    }

    static void forgetMessages()
    {
        MessageService::clearRecords();
        MessageService::clearAnswers();
    }

protected:
    QWidget* m_window = nullptr;

    // Shows the window at a laptop's size and waits until it is active. The lists and the
    // deductibles catalogue load without a word.
    void showWindow(QWidget* window)
    {
        m_window = window;
        window->resize(1340, 640);
        window->show();
        window->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(window));
        QCOMPARE(messages(), QStringList());
        QCOMPARE(grid("fgrdDeduction")->rowCount(), 8);
    }

    template <typename T = QLineEdit>
    T* find(const char* name) const
    {
        T* child = m_window->findChild<T*>(QLatin1String(name));
        if (!child)
            qFatal("no control %s", name);
        return child;
    }
    QLineEdit* box(const char* name) const { return find<QLineEdit>(name); }
    GridEditor* grid(const char* name) const { return find<GridEditor>(name); }
    SurveyGrid* result() const { return find<SurveyGrid>("fgrdFinalResult"); }
    QString cell(const char* gridName, int r, int c) const { return find<SurveyGrid>(gridName)->text(r, c); }
    QTabWidget* tabs() const { return find<QTabWidget>("sstQuorvane"); }
    static QWidget* focused() { return QApplication::focusWidget(); }
    static bool isRed(const QLineEdit* b) { return b->palette().color(QPalette::Text) == Red; }

    static QStringList messages() { return TestSupport::messageTexts(); }
    static QString lastMessage()
    {
        const auto r = MessageService::records();
        return r.isEmpty() ? QString() : r.last().text;
    }

    // A click on the control, as the user moves there with the mouse.
    static void click(QWidget* target)
    {
        QTest::mouseClick(target, Qt::LeftButton, {}, QPoint(4, target->height() / 2));
        QApplication::processEvents();
    }
    // Types into the focused control after selecting what it holds.
    static void typeHere(const QString& text)
    {
        QWidget* f = focused();
        QVERIFY(f);
        QTest::keyClick(f, Qt::Key_A, Qt::ControlModifier);
        if (!text.isEmpty())
            QTest::keyClicks(f, text);
    }
    // Clicks into a box and types a new text over the old one.
    static void typeInto(QLineEdit* target, const QString& text)
    {
        click(target);
        QCOMPARE(focused(), static_cast<QWidget*>(target));
        if (!target->inputMask().isEmpty()) {
            QTest::keyClick(target, Qt::Key_Home);
            QTest::keyClicks(target, text);
            return;
        }
        typeHere(text);
    }
    static void pressTab() { QTest::keyClick(focused(), Qt::Key_Tab); }
    static void pressEnter() { QTest::keyClick(focused(), Qt::Key_Return); }
    // Types into the focused box and presses Enter.
    static void enter(const QString& text)
    {
        typeHere(text);
        pressEnter();
    }

    void pickShip(const QString& name)
    {
        auto* list = find<QComboBox>("dcbShip");
        click(list);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);  // the list's pop-up
        list->setFocus();
        const int index = list->findText(name);
        QVERIFY(index >= 0);
        list->setCurrentIndex(index);
    }
    void pickPort(const QString& name)
    {
        auto* list = find<QComboBox>("dcbPort");
        list->setCurrentIndex(list->findText(name));
    }

    // The header of the shared surveys (SurveySamples): ship, voyage, port and cargo.
    void fillHeader()
    {
        const SurveyFileData header = SurveySamples::header(SurveyFileData::Kind::Loading);
        pickShip(header.ship);
        typeInto(box("txtVoyageID"), header.voyage);
        pressEnter();
        QCOMPARE(focused(), static_cast<QWidget*>(find<QComboBox>("dcbPort")));
        pickPort(header.port);
        pressEnter();
        QCOMPARE(focused(), static_cast<QWidget*>(box("txtCargo")));
        typeHere(header.cargo);
        pressEnter();
    }

    // From the density box down the Enter route to the Calculate button.
    void fillDraft(const Draft& d)
    {
        typeInto(box("txtDensity"), d.density);
        pressEnter();
        QCOMPARE(focused(), static_cast<QWidget*>(box("mbxDate")));
        pressEnter();
        QCOMPARE(focused(), static_cast<QWidget*>(box("mbxTime")));
        pressEnter();
        QCOMPARE(focused(), static_cast<QWidget*>(box("txtFwdPort")));
        for (const QString& r : d.readings)
            enter(r);
        for (const QString& m : d.marks)
            enter(m);
        QCOMPARE(focused(), static_cast<QWidget*>(box("txtHDTGridTextbox")));
        for (int c = 0; c < 4; ++c) {
            enter(d.below[c]);
            enter(d.above[c]);
        }
        QCOMPARE(focused(), static_cast<QWidget*>(box("txtMPGridTextbox")));
        enter(d.mctcPlus[0]);
        enter(d.mctcPlus[1]);
        QCOMPARE(focused(), static_cast<QWidget*>(box("txtMMGridTextbox")));
        enter(d.mctcMinus[0]);
        enter(d.mctcMinus[1]);
        QCOMPARE(focused(), static_cast<QWidget*>(box("txtGridTextbox")));
        for (const QString& q : d.deductions)
            enter(q);
        QCOMPARE(focused(), static_cast<QWidget*>(find<QPushButton>("cmdCalculate")));
    }

    void calculate() { click(find<QPushButton>("cmdCalculate")); }

    void switchTo(int index)
    {
        QTabBar* bar = tabs()->tabBar();
        QTest::mouseClick(bar, Qt::LeftButton, {}, bar->tabRect(index).center());
        QApplication::processEvents();
    }

    QStringList finalResultColumn(int column) const
    {
        QStringList out;
        for (int r = 0; r < 12; ++r)
            out << result()->text(r, column);
        return out;
    }
};
