#include "viewer/windows/message_box_sink.h"

#include "platform/cp932.h"
#include "viewer/basemap/qt_text.h"

#include <QMessageBox>

namespace tavik {

namespace {

// A message box over `parent` with the message's icon and text and these
// buttons; returns the button chosen.
QMessageBox::StandardButton showBox(const Message& message, QMessageBox::StandardButtons buttons, QWidget* parent)
{
    QMessageBox::Icon icon = QMessageBox::Critical;
    switch (message.icon) {
    case MessageIcon::Stop:
        icon = QMessageBox::Critical;
        break;
    case MessageIcon::Exclamation:
        icon = QMessageBox::Warning;
        break;
    case MessageIcon::Information:
        icon = QMessageBox::Information;
        break;
    case MessageIcon::Question:
        icon = QMessageBox::Question;
        break;
    }
    const QString title = message.title.empty() ? QStringLiteral("quelna") : qtext(message.title);
    // Messages join lines with "\r\n" as well as "\n".
    QString text = qtext(message.text);
    text.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    QMessageBox box(icon, title, text, buttons, parent);
    box.setTextFormat(Qt::PlainText);
    return static_cast<QMessageBox::StandardButton>(box.exec());
}

} // namespace

void MessageBoxSink::show(const Message& message) { showBox(message, QMessageBox::Ok, parent_); }

bool MessageBoxSink::ask(const Message& message)
{
    return showBox(message, QMessageBox::Ok | QMessageBox::Cancel, parent_) == QMessageBox::Ok;
}

} // namespace tavik
