#pragma once

#include <QMainWindow>
#include <QPalette>
#include <QUrl>

class QListWidget;
class QTextBrowser;

// The program's help: the pages that ship inside the program, a list of topics on the left and
// the page on the right, with Back, Forward and Contents.
class HelpViewer : public QMainWindow {
    Q_OBJECT
public:
    explicit HelpViewer(QWidget* parent = nullptr);

    struct Topic {
        QString title;
        QUrl page;
    };
    // The topics in the order of the list; the first is the contents page.
    static QList<Topic> topics();
    // The pages' style sheet for a page drawn in `palette` (light or dark).
    static QString styleSheet(const QPalette& palette);

    void showPage(const QUrl& page);
    QUrl currentPage() const;
    QTextBrowser* browser() const { return m_browser; }

private:
    void linkClicked(const QUrl& link);
    void pageChanged(const QUrl& page);

    QListWidget* m_topics = nullptr;
    QTextBrowser* m_browser = nullptr;
};
