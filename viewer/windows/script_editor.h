#pragma once

#include <QTextEdit>

namespace tavik {

class MessageSink;

// The text editor of a print form script: at most 4000 characters, the text
// it was filled with in black and everything inserted or typed afterwards in
// blue, and a context menu of cut, copy, paste (when the clipboard holds
// text) and a single undo that empties the history. An insertion beyond the
// limit is refused with "これ以上テキストを追加できません。".
class ScriptEditor : public QTextEdit {
    Q_OBJECT
public:
    ScriptEditor(MessageSink& messages, QWidget* parent = nullptr);

    // Shows a script's text (UTF-8 in a QString) and marks it unchanged.
    void fill(const QString& text);

    // Whether the user changed the text since it was filled.
    bool changed() const;
    void markUnchanged();

    // Inserts text at the caret in place of the selection, in blue, and puts
    // the caret `caret` characters into it. False, with the refusal shown,
    // when the text would pass the limit.
    bool insertScript(const QString& text, int caret);

    // Undoes the last change and empties the undo history.
    void undoOnce();

    // The context menu as it would open now.
    QMenu* makeContextMenu();

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void inputMethodEvent(QInputMethodEvent* event) override;
    bool canInsertFromMimeData(const QMimeData* source) const override;
    void insertFromMimeData(const QMimeData* source) override;
    void contextMenuEvent(QContextMenuEvent* event) override;

private:
    // Whether inserting this many characters over the selection keeps the
    // text within the limit.
    bool fits(int inserted) const;
    void insertBlue(const QString& text);

    MessageSink& messages_;
};

} // namespace tavik
