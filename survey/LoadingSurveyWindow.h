#pragma once

#include "survey/SurveyWindow.h"

class QGroupBox;
class QLineEdit;

// The Loading survey, "Draft Survey-[Loading]": the Initial draft before loading gives the net
// displacement and the ship's constant, the Final draft after it the Total Cargo Loaded.
class LoadingSurveyWindow : public SurveyWindow {
    Q_OBJECT
public:
    explicit LoadingSurveyWindow(QWidget* parent = nullptr);

    QString cargoResultText() const override;

protected:
    void showPanelsForTab(int tab) override;
    void clearPanelTexts() override;
    void clearPanelsOfTab(bool initialTab) override;
    QStringList finalResultCaptions(int tab, bool* boldLastRow) const override;
    void showNetDisplacement(int tab, const SurveyDraft& draft) override;

private:
    void showConstant(const Variant& netDisplacement);
    void showCargo(const Variant& netDisplacement);

    QGroupBox* fmeInitNetDisp = nullptr;
    QLineEdit* txtInitNetDisp = nullptr;
    QGroupBox* fmeFinalNetDisp = nullptr;
    QLineEdit* txtFinalNetDisp = nullptr;
    QLineEdit* txtTotCargoLoaded = nullptr;
};
