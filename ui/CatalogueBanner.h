#pragma once

#include <QLabel>
#include <QString>
#include <functional>

class QWidget;

// The line at the top of a catalogue window (Ship Particulars, Port Master, a hydrostatic table)
// while a catalogue server is set: it says that the catalogue is read-only, and why, while the
// server is out of reach, and that the copy was brought up to date when the window could not show
// the newer rows at once. Without a server it is never shown.
class CatalogueBanner : public QLabel {
    Q_OBJECT
public:
    // What a window does when the copy was brought up to date from the server: it shows the newer
    // rows and returns an empty text, or, when it holds edits of its own, keeps them and returns
    // what the user is to know.
    using CopyChanged = std::function<QString()>;

    // Puts the banner at the top of `window`'s layout (a box layout) as "lblCatalogue".
    static CatalogueBanner* attach(QWidget* window, CopyChanged onCopyChanged);

    // The main window: the copy took rows from the server (an update in the background). Every
    // open banner passes it on to its window.
    static void announceCopyChanged();
    // The server was found out of reach, or in reach again: every banner shows it.
    static void announceReach();

    // The text shown about the copy having changed, until the window reads its rows again.
    void clearNote();

signals:
    void copyChanged();
    void reachChanged();

private:
    CatalogueBanner(QWidget* window, CopyChanged onCopyChanged);
    void refresh();
    void setReadOnly(bool readOnly);

    CopyChanged m_onCopyChanged;
    QString m_note;
    bool m_readOnly = false;
};
