#pragma once

#include "survey/SurveyWindow.h"

class QGroupBox;
class QLineEdit;

// The Discharging survey, "Draft Survey-[Discharging]": the Initial draft on arrival gives the
// cargo and constant on board, which set against the Bill of Lading quantity give an assumed
// constant; the Final draft after discharge gives the Total Cargo Discharged and the constant
// left on board.
class DischargingSurveyWindow : public SurveyWindow {
    Q_OBJECT
public:
    explicit DischargingSurveyWindow(QWidget* parent = nullptr);

    QString cargoResultText() const override;

protected:
    // Field texts and keys of this window.
    bool marksSelectOnFocus() const override { return true; }
    bool closesOnCtrlF4Anywhere() const override { return true; }

    // The survey's set-up: no list of stored dates; grids laid out on every tab switch.
    bool hasDateList() const override { return false; }
    bool initializesGridsWithoutShip() const override { return true; }
    void resetExtras() override;
    void showHeaderExtras() override;
    QWidget* extraField(const QString& field) const override;

    // The B/L and assumed constant on arrival, the constant and cargo after discharge.
    void showPanelsForTab(int tab) override;
    void clearPanelTexts() override;
    void clearPanelsOfTab(bool initialTab) override;

    // fgrdFinalResult rows 9 to 11 and the checks on them.
    int netDisplacementPlaces() const override { return 6; }
    QStringList finalResultCaptions(int tab, bool* boldLastRow) const override;
    void showNetDisplacement(int tab, const SurveyDraft& draft) override;

private:
    bool checkBLQty();
    void showCargoAndConstant(const Variant& netDisplacement);
    void showDischarge(const Variant& netDisplacement);
    void showAssumedConstant(const Decimal& assumed, bool blankWhenZero);

    QGroupBox* fmeAssumedConstant = nullptr;
    QLineEdit* txtBLQty = nullptr;
    QLineEdit* txtAssumedConstant = nullptr;
    QGroupBox* fmeConstant = nullptr;
    QLineEdit* txtFinTotCargoDis = nullptr;
};
