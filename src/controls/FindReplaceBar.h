#pragma once

#include <QTextDocument>
#include <QWidget>

class QAction;
class QCheckBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;

// Find, find next and replace for one plain-text editor: a bar under the
// editor, hidden until asked for. Ctrl+F opens it on the find text, F3 and
// Shift+F3 find the next and the previous match (wrapping at the ends),
// Ctrl+H opens it on the replacement, Esc closes it. A read-only editor gets
// finding only.
class FindReplaceBar : public QWidget
{
    Q_OBJECT

public:
    explicit FindReplaceBar(QPlainTextEdit *editor, QWidget *parent = nullptr);

    QString findText() const;
    void setFindText(const QString &text);
    QString replaceText() const;
    void setReplaceText(const QString &text);
    void setMatchCase(bool on);
    void setWholeWords(bool on);
    void setInSelection(bool on);
    // What the last search or replace reported ("Not found", ...).
    QString statusText() const;

    // Selects the next match after the caret (before it, backward) and
    // returns true; past the end the search goes on from the start.
    bool findNext(bool backward = false);
    // Replaces the selected match, then selects the next one.
    bool replaceNext();
    // Replaces every match in the text, or only inside the selection when
    // "In selection" is on and something is selected; one undo step.
    int replaceAll();

    void showFind();
    void showReplace();

    QAction *findAction() const { return m_findAction; }
    QAction *findNextAction() const { return m_findNextAction; }
    QAction *findPreviousAction() const { return m_findPreviousAction; }
    QAction *replaceAction() const { return m_replaceAction; }

private:
    QTextDocument::FindFlags flags(bool backward) const;
    bool selectionMatches() const;
    void openOn(QLineEdit *field);
    void closeBar();
    void report(const QString &text);
    QAction *addShortcut(const QKeySequence &key, const QString &text);

    QPlainTextEdit *m_editor;
    QLineEdit *m_find;
    QLineEdit *m_replace;
    QLabel *m_replaceLabel;
    QCheckBox *m_matchCase;
    QCheckBox *m_wholeWords;
    QCheckBox *m_inSelection;
    QPushButton *m_replaceButton;
    QPushButton *m_replaceAllButton;
    QLabel *m_status;
    QAction *m_findAction;
    QAction *m_findNextAction;
    QAction *m_findPreviousAction;
    QAction *m_replaceAction;
};
