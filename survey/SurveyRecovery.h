#pragma once

#include <QDateTime>
#include <QList>
#include <QObject>
#include <QPointer>
#include <QString>
#include <memory>
#include <optional>

class SurveyWindow;
class QLockFile;
class QTimer;

// A survey window's inputs kept on disk while the window is open, so that a day's typing survives
// the window being closed unsaved, the program being left, or the machine going down. Each window
// has its own recovery file in the user's data folder, written whole (never half) each time an
// entry is accepted: a field left for another, a cell committed with Enter, a ship or port
// picked, a tab switched, Calculate. The file is a survey file with a note of its own ("recovery":
// when the window was closed, the survey file it came from, the tab on show), so it reopens
// through the same typing-in as any survey file.
//
// A window nothing was entered in writes nothing, nor does one that shows a survey file as it was
// opened or saved (switching its tabs is no entry); saving the survey to a file removes the
// recovery file (until the next entry); closing the window leaves the file, stamped with the time
// of closing, for the Recent Surveys menu to offer. A file without that stamp was left by a
// program that ended with the window open (killed, or the machine went down): the next start
// offers it at once. While its window is open the file is locked, so that another copy of the
// program running meanwhile does not take it for one left behind.
class SurveyRecovery : public QObject {
    Q_OBJECT
public:
    // Starts keeping `window`'s inputs; the keeper lives as long as the window.
    static SurveyRecovery* attach(SurveyWindow* window);
    // The keeper of a window, or nullptr.
    static SurveyRecovery* of(const QWidget* window);
    // The window is being destroyed: from now on nothing of it is asked (its own part is gone
    // before its children, this keeper among them, are deleted).
    void detach();

    ~SurveyRecovery() override;

    // Where recovery files are kept: "recovery" in the user's data folder (AppPaths), unless
    // setFolder() points elsewhere.
    static QString folder();
    static void setFolder(const QString& folder);

    // The recovery file of this window, empty while it has none.
    QString path() const { return m_path; }
    // The survey file the window shows (its title names it), empty when none.
    QString surveyFile() const { return m_surveyFile; }

    // The window's survey was just written to, or read from, `file`: nothing to recover any more,
    // and the title names the file.
    void setSurveyFile(const QString& file);
    // The window goes on in a recovery file left earlier (reopened from it): its entries rewrite
    // that file, and it names the survey file the survey came from, if any.
    void adopt(const QString& recoveryPath);
    // Writes the window's inputs now (nothing without a ship).
    void snapshot();

    // While a survey is typed into the window from a file, nothing is written.
    class Pause {
    public:
        explicit Pause(const QWidget* window);
        ~Pause();
        Pause(const Pause&) = delete;
        Pause& operator=(const Pause&) = delete;

    private:
        QPointer<SurveyRecovery> m_keeper;
    };

    // A survey left in a recovery file by a window no longer open: closed without saving, or
    // lost with the program.
    struct Entry {
        QString path;            // the recovery file
        QString kind;            // "Loading" or "Discharging"
        QString ship;
        QString voyage;
        QString surveyFile;      // the survey file it came from, if any
        QDateTime closed;        // when its window closed; the last entry's time after a crash
        int tab = 0;             // the tab on show: 0 Initial, 2 Final
        bool initialCalculated = true;  // the draft stood calculated when left
        bool finalCalculated = true;
        // Its window never closed: the program ended with it open. `closed` is then the time of
        // the last entry.
        bool lost = false;
        // Lost, and not yet offered at a start and kept for later.
        bool unanswered = false;
    };
    // Newest first.
    static QList<Entry> leftBehind();
    static std::optional<Entry> entry(const QString& recoveryPath);
    // Forgets a survey left behind: its recovery file goes.
    static bool discard(const QString& recoveryPath);
    // A lost survey offered at a start and kept for later: Recent Surveys goes on offering it,
    // the next start no longer asks.
    static bool keepForLater(const QString& recoveryPath);

signals:
    // A recovery file was written or removed.
    void changed();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    explicit SurveyRecovery(SurveyWindow* window);
    void schedule();
    void writeNow();
    void focusMoved(QWidget* old, QWidget* now);
    void updateTitle();
    void stampClosed();
    void takeFile(const QString& path);
    void releaseFile();
    // The survey as a survey file holds it, without the recovery note.
    QByteArray surveyState() const;

    QPointer<SurveyWindow> m_window;
    QTimer* m_timer = nullptr;
    QString m_path;
    QString m_surveyFile;
    QString m_baseTitle;
    // The survey as the survey file it was opened from or saved to holds it: while the window
    // shows just that, there is nothing to recover.
    QByteArray m_fileState;
    std::unique_ptr<QLockFile> m_lock;
    int m_paused = 0;
};
