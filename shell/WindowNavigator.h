#pragma once

#include <QDialog>

class QLineEdit;
class QListWidget;
class QListWidgetItem;
class QPushButton;
class QTreeWidget;
class QTreeWidgetItem;

// The window navigator, "Open": the user picks a group on the left, a window on the right (or
// types its name) and opens it, in the manner of a file-open box.
class WindowNavigator : public QDialog {
    Q_OBJECT
public:
    explicit WindowNavigator(QWidget* parent = nullptr);

    // The window name for each list text ("Ship Particulars" -> "frmShipParticulars"); empty
    // for any other text. Case and blanks count.
    static QString windowFor(const QString& itemText);

protected:
    void done(int result) override;
    void showEvent(QShowEvent* event) override;

private:
    void tvOpenNodeClick(QTreeWidgetItem* node);
    void lvOpenItemClick(QListWidgetItem* item);
    void lvOpenDblClick(QListWidgetItem* item);
    void txtFormToOpenChange();
    void cmdOpenClick();
    void fillList(const QString& groupKey);

    QTreeWidget* tvOpen = nullptr;
    QListWidget* lvOpen = nullptr;
    QLineEdit* txtFormToOpen = nullptr;
    QPushButton* cmdOpen = nullptr;
    QPushButton* cmdCancel = nullptr;
    bool m_filling = false;
};
