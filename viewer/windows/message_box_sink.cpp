#include "viewer/windows/message_box_sink.h"

#include "platform/cp932.h"

#include <QMessageBox>

namespace tavik {

namespace {

int run(const Message& message, QMessageBox::StandardButtons buttons, QWidget* parent)
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
    const QString title
        = message.title.empty() ? QStringLiteral("quelna") : QString::fromStdString(cp932ToUtf8(message.title));
    // Messages join lines with "\r\n" as well as "\n".
    QString text = QString::fromStdString(cp932ToUtf8(message.text));
    text.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    QMessageBox box(icon, title, text, buttons, parent);
    box.setTextFormat(Qt::PlainText);
    return box.exec();
}

} // namespace

void MessageBoxSink::show(const Message& message) { run(message, QMessageBox::Ok, parent_); }

bool MessageBoxSink::confirm(const Message& message)
{
    return run(message, QMessageBox::Ok | QMessageBox::Cancel, parent_) == QMessageBox::Ok;
}

} // namespace tavik
