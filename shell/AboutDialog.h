#pragma once

#include <QDialog>

class QPushButton;

// "About Quorvane Lt": the first window after start-up, and Help, About. Leaving it (Continue,
// or any other way) leads into the program: the Tip of the Day window when the surveyor keeps
// tips on at start-up, otherwise the main window alone.
class AboutDialog : public QDialog {
    Q_OBJECT
public:
    explicit AboutDialog(QWidget* parent = nullptr);

    // The main window, with the tip window in it when the setting asks for tips. Waits first for
    // the verdict on every page of the database, and opens nothing when it found one damaged.
    static void leadIntoProgram();
    // Closes the box without leading into the program (the start has failed meanwhile).
    void abandon();

protected:
    void done(int result) override;
    void showEvent(QShowEvent* event) override;

private:
    // Fixes the box's size to what its texts need in the font it is shown in.
    void fitToText();

    QPushButton* cmdContinue = nullptr;
    bool m_ledOn = false;
};
