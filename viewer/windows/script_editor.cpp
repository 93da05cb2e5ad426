#include "viewer/windows/script_editor.h"

#include "platform/message_sink.h"
#include "viewer/print/script_insertion.h"

#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QKeyEvent>
#include <QMenu>
#include <QMimeData>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>

namespace tavik {
namespace {

QTextCharFormat colour(Qt::GlobalColor colour)
{
    QTextCharFormat format;
    format.setForeground(QColor(colour));
    return format;
}

// Characters of the editor's text: a line break counts one.
int length(const QTextDocument& document) { return document.characterCount() - 1; }

bool printable(const QString& text)
{
    for (QChar c : text) {
        if (!c.isPrint() && c != QLatin1Char('\t'))
            return false;
    }
    return !text.isEmpty();
}

} // namespace

ScriptEditor::ScriptEditor(MessageSink& messages, QWidget* parent)
    : QTextEdit(parent)
    , messages_(messages)
{
    setAcceptRichText(false);
    setLineWrapMode(QTextEdit::NoWrap);
    setTabChangesFocus(false);
}

void ScriptEditor::fill(const QString& text)
{
    setPlainText(QString());
    QTextCursor cursor(document());
    cursor.insertText(text, colour(Qt::black));
    document()->clearUndoRedoStacks();
    moveCursor(QTextCursor::Start);
    setCurrentCharFormat(colour(Qt::blue));
    markUnchanged();
}

bool ScriptEditor::changed() const { return document()->isModified(); }

void ScriptEditor::markUnchanged() { document()->setModified(false); }

bool ScriptEditor::fits(int inserted) const
{
    const QTextCursor cursor = textCursor();
    return insertionFits(length(*document()), cursor.selectionEnd() - cursor.selectionStart(), inserted);
}

void ScriptEditor::insertBlue(const QString& text)
{
    QTextCursor cursor = textCursor();
    cursor.insertText(text, colour(Qt::blue));
    setTextCursor(cursor);
}

bool ScriptEditor::insertScript(const QString& text, int caret)
{
    if (!fits(static_cast<int>(text.size()))) {
        messages_.stop(scriptEditorFullMessage());
        return false;
    }
    QTextCursor cursor = textCursor();
    const int start = cursor.selectionStart();
    cursor.insertText(text, colour(Qt::blue));
    cursor.setPosition(start + caret);
    setTextCursor(cursor);
    setFocus();
    return true;
}

void ScriptEditor::undoOnce()
{
    if (!document()->isUndoAvailable())
        return;
    document()->undo();
    document()->clearUndoRedoStacks();
}

void ScriptEditor::keyPressEvent(QKeyEvent* event)
{
    if (event->matches(QKeySequence::Undo)) {
        undoOnce();
        return;
    }
    if (event->matches(QKeySequence::Redo))
        return;
    const bool command = event->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier);
    const bool lineBreak = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
    if (!command && (lineBreak || printable(event->text()))) {
        // Typed text past the limit is refused as an edit control refuses it.
        if (!fits(lineBreak ? 1 : static_cast<int>(event->text().size()))) {
            QApplication::beep();
            return;
        }
        if (!lineBreak) {
            insertBlue(event->text());
            return;
        }
    }
    QTextEdit::keyPressEvent(event);
}

void ScriptEditor::inputMethodEvent(QInputMethodEvent* event)
{
    if (!event->commitString().isEmpty() && !fits(static_cast<int>(event->commitString().size()))) {
        QApplication::beep();
        event->setCommitString(QString());
    }
    if (!textCursor().hasSelection())
        setCurrentCharFormat(colour(Qt::blue));
    QTextEdit::inputMethodEvent(event);
}

bool ScriptEditor::canInsertFromMimeData(const QMimeData* source) const { return source->hasText(); }

void ScriptEditor::insertFromMimeData(const QMimeData* source)
{
    if (!source->hasText())
        return;
    QString text = source->text();
    text.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    if (!fits(static_cast<int>(text.size()))) {
        messages_.stop(scriptEditorFullMessage());
        return;
    }
    insertBlue(text);
}

QMenu* ScriptEditor::makeContextMenu()
{
    auto* menu = new QMenu(this);
    menu->addAction(QStringLiteral("切り取り"), this, &QTextEdit::cut);
    menu->addAction(QStringLiteral("コピー"), this, &QTextEdit::copy);
    QAction* paste = menu->addAction(QStringLiteral("張り付け"), this, &QTextEdit::paste);
    const QMimeData* clipboard = QApplication::clipboard()->mimeData();
    paste->setEnabled(clipboard && clipboard->hasText());
    QAction* undo = menu->addAction(QStringLiteral("元に戻す"), this, &ScriptEditor::undoOnce);
    undo->setEnabled(document()->isUndoAvailable());
    return menu;
}

void ScriptEditor::contextMenuEvent(QContextMenuEvent* event)
{
    QMenu* menu = makeContextMenu();
    menu->setAttribute(Qt::WA_DeleteOnClose);
    menu->popup(event->globalPos());
}

} // namespace tavik
