#pragma once

#include "platform/message_sink.h"

#include <QPointer>
#include <QWidget>

namespace tavik {

// Shows each message in a modal message box over a window (the main window
// once it exists), with the message's icon, titled "quelna" unless the
// message has a title of its own.
class MessageBoxSink : public MessageSink {
public:
    void setParent(QWidget* parent) { parent_ = parent; }
    void show(const Message& message) override;
    bool ask(const Message& message) override;

private:
    QPointer<QWidget> parent_;
};

} // namespace tavik
