#pragma once

#include <QString>
#include <QWidget>

class QLineEdit;
class QTextBrowser;

// Help > Handleiding: the ring official's guide, formatted, with its pictures, in a window of the station, so
// neither a viewer of the system nor a browser is needed. The guide is Markdown; its pictures are found beside
// it, and one wider than the window is shown at the window's width. Its own links (a heading further on) are followed
// in the window; a link to a web page goes to the system's browser, when there is one. A search field finds a word in
// it (Enter: the next).
class HandleidingVenster : public QWidget
{
    Q_OBJECT

public:
    explicit HandleidingVenster(QWidget* parent = nullptr);

    // Shows the guide at `path` from its beginning; false when it cannot be read.
    bool load(const QString& path);
    // The first line of the guide's text as shown (its title).
    QString title() const;
    // Finds the search field's text from the cursor on, round again from the top; false when it is not there.
    bool find();

    QTextBrowser* browser() const { return m_browser; }
    QLineEdit* searchField() const { return m_search; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void fitPictures();

    QString m_folder;
    QTextBrowser* m_browser = nullptr;
    QLineEdit* m_search = nullptr;
};
