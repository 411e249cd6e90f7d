#include "controls/FindReplaceBar.h"

#include <QAction>
#include <QCheckBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTextBlock>
#include <QTextCursor>
#include <QToolButton>

FindReplaceBar::FindReplaceBar(QPlainTextEdit *editor, QWidget *parent)
    : QWidget(parent),
      m_editor(editor),
      m_find(new QLineEdit(this)),
      m_replace(new QLineEdit(this)),
      m_replaceLabel(new QLabel(QStringLiteral("Replace &with:"), this)),
      m_matchCase(new QCheckBox(QStringLiteral("Match c&ase"), this)),
      m_wholeWords(new QCheckBox(QStringLiteral("W&hole words"), this)),
      m_inSelection(new QCheckBox(QStringLiteral("In se&lection"), this)),
      m_replaceButton(new QPushButton(QStringLiteral("Replace"), this)),
      m_replaceAllButton(new QPushButton(QStringLiteral("Replace All"), this)),
      m_status(new QLabel(this))
{
    setObjectName(QStringLiteral("findReplaceBar"));
    m_find->setAccessibleName(QStringLiteral("Find text"));
    m_replace->setAccessibleName(QStringLiteral("Replace with"));
    auto *findLabel = new QLabel(QStringLiteral("F&ind:"), this);
    findLabel->setBuddy(m_find);
    m_replaceLabel->setBuddy(m_replace);
    auto *nextButton = new QPushButton(QStringLiteral("Find Next"), this);
    auto *previousButton = new QPushButton(QStringLiteral("Find Previous"), this);
    auto *closeButton = new QToolButton(this);
    closeButton->setText(QStringLiteral("\u00d7"));
    closeButton->setAutoRaise(true);
    closeButton->setToolTip(QStringLiteral("Close (Esc)"));
    closeButton->setAccessibleName(QStringLiteral("Close find bar"));
    for (QPushButton *button : {nextButton, previousButton, m_replaceButton, m_replaceAllButton})
        button->setAutoDefault(false);

    auto *grid = new QGridLayout(this);
    grid->setContentsMargins(4, 2, 4, 2);
    grid->setVerticalSpacing(2);
    grid->addWidget(findLabel, 0, 0);
    grid->addWidget(m_find, 0, 1);
    grid->addWidget(nextButton, 0, 2);
    grid->addWidget(previousButton, 0, 3);
    grid->addWidget(m_matchCase, 0, 4);
    grid->addWidget(m_wholeWords, 0, 5);
    grid->addWidget(m_status, 0, 6);
    grid->addWidget(closeButton, 0, 7);
    grid->addWidget(m_replaceLabel, 1, 0);
    grid->addWidget(m_replace, 1, 1);
    grid->addWidget(m_replaceButton, 1, 2);
    grid->addWidget(m_replaceAllButton, 1, 3);
    grid->addWidget(m_inSelection, 1, 4, 1, 2);
    grid->setColumnStretch(1, 1);
    grid->setColumnStretch(6, 1);

    m_findAction = addShortcut(QKeySequence(Qt::CTRL | Qt::Key_F), QStringLiteral("Find"));
    m_findNextAction = addShortcut(QKeySequence(Qt::Key_F3), QStringLiteral("Find Next"));
    m_findPreviousAction =
        addShortcut(QKeySequence(Qt::SHIFT | Qt::Key_F3), QStringLiteral("Find Previous"));
    m_replaceAction = addShortcut(QKeySequence(Qt::CTRL | Qt::Key_H), QStringLiteral("Replace"));
    QAction *closeAction = new QAction(this);
    closeAction->setShortcut(QKeySequence(Qt::Key_Escape));
    closeAction->setShortcutContext(Qt::WidgetWithChildrenShortcut);
    addAction(closeAction);

    connect(m_findAction, &QAction::triggered, this, &FindReplaceBar::showFind);
    connect(m_replaceAction, &QAction::triggered, this, &FindReplaceBar::showReplace);
    connect(m_findNextAction, &QAction::triggered, this, [this] { findNext(false); });
    connect(m_findPreviousAction, &QAction::triggered, this, [this] { findNext(true); });
    connect(closeAction, &QAction::triggered, this, &FindReplaceBar::closeBar);
    connect(closeButton, &QToolButton::clicked, this, &FindReplaceBar::closeBar);
    connect(nextButton, &QPushButton::clicked, this, [this] { findNext(false); });
    connect(previousButton, &QPushButton::clicked, this, [this] { findNext(true); });
    connect(m_find, &QLineEdit::returnPressed, this, [this] { findNext(false); });
    connect(m_replace, &QLineEdit::returnPressed, this, [this] { replaceNext(); });
    connect(m_replaceButton, &QPushButton::clicked, this, [this] { replaceNext(); });
    connect(m_replaceAllButton, &QPushButton::clicked, this, [this] { replaceAll(); });
    hide();
}

QAction *FindReplaceBar::addShortcut(const QKeySequence &key, const QString &text)
{
    auto *action = new QAction(text, this);
    action->setShortcut(key);
    // Only while the editor or this bar has the focus: the same keys stay
    // free in every other window and control.
    action->setShortcutContext(Qt::WidgetWithChildrenShortcut);
    m_editor->addAction(action);
    addAction(action);
    return action;
}

QString FindReplaceBar::findText() const
{
    return m_find->text();
}

void FindReplaceBar::setFindText(const QString &text)
{
    m_find->setText(text);
}

QString FindReplaceBar::replaceText() const
{
    return m_replace->text();
}

void FindReplaceBar::setReplaceText(const QString &text)
{
    m_replace->setText(text);
}

void FindReplaceBar::setMatchCase(bool on)
{
    m_matchCase->setChecked(on);
}

void FindReplaceBar::setWholeWords(bool on)
{
    m_wholeWords->setChecked(on);
}

void FindReplaceBar::setInSelection(bool on)
{
    m_inSelection->setChecked(on);
}

QString FindReplaceBar::statusText() const
{
    return m_status->text();
}

void FindReplaceBar::report(const QString &text)
{
    m_status->setText(text);
}

QTextDocument::FindFlags FindReplaceBar::flags(bool backward) const
{
    QTextDocument::FindFlags result;
    if (m_matchCase->isChecked())
        result |= QTextDocument::FindCaseSensitively;
    if (m_wholeWords->isChecked())
        result |= QTextDocument::FindWholeWords;
    if (backward)
        result |= QTextDocument::FindBackward;
    return result;
}

bool FindReplaceBar::findNext(bool backward)
{
    const QString text = m_find->text();
    if (text.isEmpty()) {
        showFind();
        return false;
    }
    QTextDocument *document = m_editor->document();
    QTextCursor found = document->find(text, m_editor->textCursor(), flags(backward));
    bool wrapped = false;
    if (found.isNull()) {
        QTextCursor from(document);
        if (backward)
            from.movePosition(QTextCursor::End);
        found = document->find(text, from, flags(backward));
        wrapped = !found.isNull();
    }
    if (found.isNull()) {
        report(QStringLiteral("Not found"));
        return false;
    }
    m_editor->setTextCursor(found);
    report(wrapped ? (backward ? QStringLiteral("Continued from the end")
                               : QStringLiteral("Continued from the start"))
                   : QString());
    return true;
}

bool FindReplaceBar::selectionMatches() const
{
    const QString selected = m_editor->textCursor().selectedText();
    if (selected.isEmpty())
        return false;
    QTextCursor start = m_editor->textCursor();
    start.setPosition(m_editor->textCursor().selectionStart());
    const QTextCursor found = m_editor->document()->find(m_find->text(), start, flags(false));
    return !found.isNull() && found.selectionStart() == m_editor->textCursor().selectionStart()
        && found.selectionEnd() == m_editor->textCursor().selectionEnd();
}

bool FindReplaceBar::replaceNext()
{
    if (m_editor->isReadOnly() || m_find->text().isEmpty())
        return false;
    if (selectionMatches()) {
        QTextCursor cursor = m_editor->textCursor();
        cursor.insertText(m_replace->text());
        m_editor->setTextCursor(cursor);
    }
    return findNext(false);
}

int FindReplaceBar::replaceAll()
{
    const QString text = m_find->text();
    if (m_editor->isReadOnly() || text.isEmpty())
        return 0;
    QTextDocument *document = m_editor->document();
    const QTextCursor selection = m_editor->textCursor();
    const bool inSelection = m_inSelection->isChecked() && selection.hasSelection();
    const int start = inSelection ? selection.selectionStart() : 0;
    // The end moves as replacements change the length of what lies before it.
    int end = inSelection ? selection.selectionEnd() : -1;
    const QString replacement = m_replace->text();

    QTextCursor edit(document);
    edit.beginEditBlock();
    QTextCursor from(document);
    from.setPosition(start);
    int count = 0;
    for (;;) {
        QTextCursor found = document->find(text, from, flags(false));
        if (found.isNull() || (end >= 0 && found.selectionEnd() > end))
            break;
        const int length = found.selectionEnd() - found.selectionStart();
        found.insertText(replacement);
        if (end >= 0)
            end += replacement.size() - length;
        from = found;
        ++count;
    }
    edit.endEditBlock();

    if (inSelection) {
        QTextCursor kept(document);
        kept.setPosition(start);
        kept.setPosition(end, QTextCursor::KeepAnchor);
        m_editor->setTextCursor(kept);
    }
    report(count == 0 ? QStringLiteral("Not found") : QStringLiteral("%1 replaced").arg(count));
    return count;
}

void FindReplaceBar::showFind()
{
    openOn(m_find);
}

void FindReplaceBar::showReplace()
{
    openOn(m_editor->isReadOnly() ? m_find : m_replace);
}

void FindReplaceBar::openOn(QLineEdit *field)
{
    const bool editable = !m_editor->isReadOnly();
    for (QWidget *widget : std::initializer_list<QWidget *>{
             m_replaceLabel, m_replace, m_replaceButton, m_replaceAllButton, m_inSelection})
        widget->setVisible(editable);
    // A selection within one line is what the user wants to find; a larger
    // one is rather where to replace.
    const QTextCursor cursor = m_editor->textCursor();
    const QString selected = cursor.selectedText();
    if (!selected.isEmpty() && !selected.contains(QChar::ParagraphSeparator))
        m_find->setText(selected);
    else if (!selected.isEmpty())
        m_inSelection->setChecked(true);
    report(QString());
    show();
    field->setFocus(Qt::ShortcutFocusReason);
    field->selectAll();
}

void FindReplaceBar::closeBar()
{
    hide();
    m_editor->setFocus(Qt::OtherFocusReason);
}
