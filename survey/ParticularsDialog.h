#pragma once

#include <QDialog>
#include <QHash>
#include <QList>
#include <QMap>
#include <array>

class QComboBox;
class QLineEdit;
class QPlainTextEdit;
class SurveyModel;

// The survey's particulars: who surveyed and for whom, who was on board and witnessed, where the
// ship lay, the weather, sea, wind, current and tide, the instruments, remarks, and when the
// readings of each draft began and ended. All optional text, for the calculation sheet. OK hands
// them to the survey; Cancel (or Escape) leaves the survey as it was.
//
// Opened window-modal without a nested event loop (open(), never exec()), so a test can fill it
// and press OK like a user.
class ParticularsDialog : public QDialog {
    Q_OBJECT
public:
    explicit ParticularsDialog(SurveyModel& survey, QWidget* parent = nullptr);

    // The box of a particular by its key ("surveyor", ...), objectName "txt" + the key with a
    // capital ("txtSurveyor"; the role is the combo box "cmbRole", the remarks "txtRemarks").
    QWidget* box(const QString& key) const { return m_boxes.value(key); }
    // The boxes of the times the readings of a draft began and ended.
    // The boxes of a draft (Initial, Final or a check's draft index); nullptr for none.
    QLineEdit* readingsStartBox(int draft) const { return m_start.value(draft); }
    QLineEdit* readingsEndBox(int draft) const { return m_end.value(draft); }

public slots:
    void accept() override;

private:
    QString textOf(const QString& key) const;

    SurveyModel& m_survey;
    QMap<QString, QWidget*> m_boxes;
    QList<int> m_order; // the drafts in the order taken
    QHash<int, QLineEdit*> m_start;
    QHash<int, QLineEdit*> m_end;
};
