#include "survey/SurveyFileIO.h"

#include "db/Database.h"
#include "ui/FieldGuard.h"
#include "core/MessageService.h"
#include "core/VbError.h"
#include "db/RowSet.h"
#include "db/SqlCatalogue.h"
#include "model/SurveyModel.h"
#include "model/clsDraft.h"
#include "model/VariantArray2D.h"
#include "model/DraftCorrections.h"
#include "survey/GridEditor.h"
#include "survey/ResultDisplay.h"
#include "survey/SurveyWindow.h"

#include <QComboBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTabWidget>

#include <algorithm>

namespace {

using Kind = SurveyFileData::Kind;

// The six readings, in the order the surveyor reads them, with their boxes.
struct Reading {
    const char* box;
    const char* field;
    QString SurveyDraftData::*value;
};
const Reading kReadings[6] = {
    {"txtFwdPort", "drafts.fwdPort", &SurveyDraftData::fwdPort},
    {"txtFwdStbd", "drafts.fwdStbd", &SurveyDraftData::fwdStbd},
    {"txtMidShipPort", "drafts.midPort", &SurveyDraftData::midPort},
    {"txtMidshipStbd", "drafts.midStbd", &SurveyDraftData::midStbd},
    {"txtAftPort", "drafts.aftPort", &SurveyDraftData::aftPort},
    {"txtAftStbd", "drafts.aftStbd", &SurveyDraftData::aftStbd},
};
const Reading kMarks[3] = {
    {"txtFwdX", "marks.fwdX", &SurveyDraftData::fwdX},
    {"txtMidX", "marks.midX", &SurveyDraftData::midX},
    {"txtAftX", "marks.aftX", &SurveyDraftData::aftX},
};
// Columns 1 to 4 of the hydrostatic table.
const char* const kHydrostaticColumns[4] = {"draft", "displacement", "tpc", "lcf"};

QString textOf(const Variant& v)
{
    return v.isNull() ? QString() : v.toText();
}

using ResultFigures::figureOrBlank;
using ResultFigures::holdsMarkDistance;

bool isNegativeFigure(const QString& text)
{
    if (text.trimmed().isEmpty())
        return false;
    const std::optional<Decimal> v = DraftCorrections::readFigure(text);
    return v && v->isNegative();
}


template <class T>
T* control(const SurveyWindow& w, const char* name)
{
    return w.findChild<T*>(QLatin1String(name));
}

// --- Typing a file into a window ---------------------------------------------------------------

class Entry {
public:
    Entry(SurveyWindow& w, const QString& fileName, SurveyFileIO::Calculate calc)
        : m_w(w), m_guard(w.fieldGuard()), m_file(fileName), m_calc(calc)
    {
        m_items = SurveyModel::deductionCatalogue();
    }

    SurveyLoadResult run(const SurveyFileData& data)
    {
        if (!enterHeader(data) || !enterDraft(data.initial, QStringLiteral("initial"), false))
            return m_result;
        if (m_calc.initial)
            calculate(QStringLiteral("initial"), false);
        if (!data.final)
            return m_result;
        // To the Final tab as the surveyor clicks it: the Initial draft is kept, the Final shown.
        auto* tabs = control<QTabWidget>(m_w, "sstQuorvane");
        tabs->setCurrentIndex(SurveyWindow::FinalTab);
        if (tabs->currentIndex() != SurveyWindow::FinalTab) {
            refuse(QStringLiteral("final"), QString(), QStringLiteral("the Final tab could not be opened"));
            return m_result;
        }
        if (enterDraft(*data.final, QStringLiteral("final"), true) && m_calc.final)
            calculate(QStringLiteral("final"), true);
        return m_result;
    }

private:
    bool enterHeader(const SurveyFileData& data)
    {
        if (!pick(control<QComboBox>(m_w, "dcbShip"), data.ship, QStringLiteral("ship"))
            || !type(control<QLineEdit>(m_w, "txtVoyageID"), data.voyage, QStringLiteral("voyage"))
            || !pick(control<QComboBox>(m_w, "dcbPort"), data.port, QStringLiteral("port"))
            || !type(control<QLineEdit>(m_w, "txtCargo"), data.cargo, QStringLiteral("cargo")))
            return false;
        // The Bill of Lading quantity sits on the Initial tab, before the arrival draft is worked.
        if (data.kind == Kind::Discharging && data.blQuantity)
            return type(control<QLineEdit>(m_w, "txtBLQty"), *data.blQuantity, QStringLiteral("blQuantity"));
        return true;
    }

    bool enterDraft(const SurveyDraftData& d, const QString& path, bool isFinal)
    {
        const QString p = path + QLatin1Char('.');
        if (!type(control<QLineEdit>(m_w, "txtDensity"), d.density, p + QStringLiteral("density"))
            || !type(control<QLineEdit>(m_w, "mbxDate"), d.date, p + QStringLiteral("date"))
            || !type(control<QLineEdit>(m_w, "mbxTime"), d.time, p + QStringLiteral("time")))
            return false;
        for (const Reading& r : kReadings)
            if (!type(control<QLineEdit>(m_w, r.box), d.*r.value, p + QLatin1String(r.field)))
                return false;
        for (const Reading& m : kMarks)
            if (!type(control<QLineEdit>(m_w, m.box), d.*m.value, p + QLatin1String(m.field)))
                return false;

        // Down each column of the hydrostatic table, Below then Above, as Enter leads.
        auto* hdt = control<GridEditor>(m_w, "fgrdHDT");
        const QString h = p + QStringLiteral("hydrostatics.");
        for (int c = 0; c < 4; ++c) {
            const QString column = QLatin1String(kHydrostaticColumns[c]);
            if (!cell(hdt, 1, c + 1, d.below[c], h + QStringLiteral("below.") + column)
                || !cell(hdt, 2, c + 1, d.above[c], h + QStringLiteral("above.") + column))
                return false;
        }
        auto* mp = control<GridEditor>(m_w, "fgrdMCTCP50");
        auto* mm = control<GridEditor>(m_w, "fgrdMCTCM50");
        if (!cell(mp, 1, 2, d.mctcPlus50Below, p + QStringLiteral("mctcPlus50.below"))
            || !cell(mp, 2, 2, d.mctcPlus50Above, p + QStringLiteral("mctcPlus50.above"))
            || !cell(mm, 1, 2, d.mctcMinus50Below, p + QStringLiteral("mctcMinus50.below"))
            || !cell(mm, 2, 2, d.mctcMinus50Above, p + QStringLiteral("mctcMinus50.above")))
            return false;

        auto* deductions = control<GridEditor>(m_w, "fgrdDeduction");
        for (const auto& [item, quantity] : d.deductibles) {
            const QString field = p + QStringLiteral("deductibles.") + QString::number(item);
            const int row = rowOfItem(item);
            if (row < 0 || !deductions || row >= deductions->rowCount())
                return refuse(field, quantity,
                              QStringLiteral("the deductibles list has no item %1").arg(item));
            if (!cell(deductions, row, 1, quantity, field))
                return false;
        }
        if (const std::optional<QString> why = SurveyFile::commentsRefusal(d))
            return refuse(p + QStringLiteral("comments"), d.comments.left(40) + QStringLiteral("..."), *why);
        if (!d.comments.isEmpty())
            control<QPlainTextEdit>(m_w, "txtComments")->setPlainText(d.comments);
        if (isFinal && d.initialNetDisplacement)
            return type(control<QLineEdit>(m_w, "txtFnlGrdTxtBox"), *d.initialNetDisplacement,
                        p + QStringLiteral("initialNetDisplacement"));
        return true;
    }

    // A text typed into a box, then the box left: its check decides.
    bool type(QLineEdit* box, const QString& value, const QString& field)
    {
        if (value.isEmpty())
            return true;  // nothing typed: the box keeps what the window put there
        if (!box)
            return refuse(field, value, QStringLiteral("the window has no box for it"));
        // The box would cut a longer text at its length, and the figure would change unseen.
        if (box->inputMask().isEmpty() && value.size() > box->maxLength())
            return refuse(field, value,
                          QStringLiteral("the box takes at most %1 characters").arg(box->maxLength()));
        box->setText(value);
        if (!m_guard.validate(box))
            return refuse(field, value);
        return true;
    }

    // An entry picked from a list by its name as stored.
    bool pick(QComboBox* list, const QString& name, const QString& field)
    {
        if (name.isEmpty())
            return true;
        const int index = list ? list->findText(name, Qt::MatchExactly | Qt::MatchCaseSensitive) : -1;
        if (index < 0)
            return refuse(field, name, QStringLiteral("it is not in the list"));
        const qsizetype told = MessageService::records().size();
        list->setCurrentIndex(index);
        if (list->currentIndex() != index || MessageService::records().size() != told)
            return refuse(field, name);
        return true;
    }

    // A figure typed into a grid cell through the grid's own box: the box goes to the cell
    // (committing the cell left), takes the text, and is checked as when the user moves on.
    bool cell(GridEditor* grid, int row, int column, const QString& value, const QString& field)
    {
        if (value.isEmpty())
            return true;
        if (!grid)
            return refuse(field, value, QStringLiteral("the window has no table for it"));
        grid->moveTo(row, column);
        QLineEdit* box = grid->editor();
        if (grid->row() != row || grid->col() != column || box->isReadOnly())
            return refuse(field, value, QStringLiteral("the cell cannot be typed in"));
        box->setText(value);
        // The table refuses what is no figure as it is typed, and takes the keystrokes back.
        if (box->text() != value || !m_guard.validate(box))
            return refuse(field, value);
        return true;
    }

    void calculate(const QString& path, bool isFinal)
    {
        control<QPushButton>(m_w, "cmdCalculate")->click();
        if (!m_w.finalResultText(ResultDisplay::NetDisplacementRow, 1).trimmed().isEmpty())
            return;
        if (m_result.loaded())
            SurveyFileModel::notCalculated(m_result, m_file, failedField(path), isFinal);
    }

    // The field behind a failed calculation check: a table whose Above row lies below its Below
    // row, else the control the check sent the focus to.
    QString failedField(const QString& path) const
    {
        const QString p = path + QLatin1Char('.');
        if (auto* hdt = control<GridEditor>(m_w, "fgrdHDT")) {
            for (int c = 1; c <= 4; ++c)
                if (isNegativeFigure(hdt->text(3, c)))
                    return p + QStringLiteral("hydrostatics.above.")
                        + QLatin1String(kHydrostaticColumns[c - 1]);
        }
        for (const char* name : {"fgrdMCTCP50", "fgrdMCTCM50"}) {
            auto* g = control<GridEditor>(m_w, name);
            if (g && isNegativeFigure(g->text(3, 2)))
                return p + (qstrcmp(name, "fgrdMCTCP50") == 0 ? QStringLiteral("mctcPlus50.above")
                                                               : QStringLiteral("mctcMinus50.above"));
        }
        const QWidget* focus = m_w.focusWidget();
        const QString name = focus ? focus->objectName() : QString();
        static const QMap<QString, QString> header = {
            {"dcbShip", "ship"}, {"txtVoyageID", "voyage"}, {"dcbPort", "port"}, {"txtCargo", "cargo"},
            {"txtBLQty", "blQuantity"}};
        if (header.contains(name))
            return header.value(name);
        if (name == QLatin1String("txtDensity"))
            return p + QStringLiteral("density");
        for (const Reading& r : kReadings) {
            if (name == QLatin1String(r.box)) {
                // A filled reading box that takes the focus back: the readings together give a
                // true mean draft of nothing.
                const auto* box = static_cast<const QLineEdit*>(focus);
                return box->text().isEmpty() ? p + QLatin1String(r.field) : p + QStringLiteral("drafts");
            }
        }
        for (const Reading& m : kMarks)
            if (name == QLatin1String(m.box))
                return p + QLatin1String(m.field);
        const auto gridCell = [&](const char* gridName, const QString& prefix) {
            const auto* g = control<GridEditor>(m_w, gridName);
            const QString row = g && g->row() == 2 ? QStringLiteral("above") : QStringLiteral("below");
            return prefix + row;
        };
        if (name == QLatin1String("txtHDTGridTextbox")) {
            const auto* g = control<GridEditor>(m_w, "fgrdHDT");
            const int c = g ? g->col() : 0;
            const QString column = c >= 1 && c <= 4 ? QLatin1String(kHydrostaticColumns[c - 1]) : QString();
            return gridCell("fgrdHDT", p + QStringLiteral("hydrostatics.")) + QLatin1Char('.') + column;
        }
        if (name == QLatin1String("txtMPGridTextbox"))
            return gridCell("fgrdMCTCP50", p + QStringLiteral("mctcPlus50."));
        if (name == QLatin1String("txtMMGridTextbox"))
            return gridCell("fgrdMCTCM50", p + QStringLiteral("mctcMinus50."));
        if (name == QLatin1String("txtGridTextbox")) {
            const auto* g = control<GridEditor>(m_w, "fgrdDeduction");
            const int row = g ? g->row() : -1;
            if (row >= 0 && row < m_items.size())
                return p + QStringLiteral("deductibles.") + QString::number(m_items.at(row).first);
        }
        if (name == QLatin1String("txtFnlGrdTxtBox"))
            return p + QStringLiteral("initialNetDisplacement");
        return path;
    }

    int rowOfItem(int item) const
    {
        for (int r = 0; r < m_items.size(); ++r)
            if (m_items.at(r).first == item)
                return r;
        return -1;
    }

    bool refuse(const QString& field, const QString& value, const QString& why = QString())
    {
        SurveyFileModel::refuse(m_result, m_file, field, value, why);
        return false;
    }

    SurveyWindow& m_w;
    FieldGuard& m_guard;
    QString m_file;
    QList<QPair<int, QString>> m_items;
    SurveyFileIO::Calculate m_calc;
    SurveyLoadResult m_result;
};

}  // namespace

namespace SurveyFileIO {

QString windowClass(Kind kind)
{
    return kind == Kind::Loading ? QStringLiteral("frmQuorvane") : QStringLiteral("frmZODuraduza");
}

SurveyLoadResult enter(SurveyWindow& window, const SurveyFileData& data, const QString& fileName, Calculate calc)
{
    return SurveyFileModel::enter(data, fileName, [&](const SurveyFileData& complete) {
        return Entry(window, fileName, calc).run(complete);
    });
}

SurveyFileData read(SurveyWindow& window)
{
    return window.surveyData();
}

}  // namespace SurveyFileIO
