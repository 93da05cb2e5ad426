#include "platform/message_sink.h"

#include "platform/cp932.h"
#include "platform/report_text.h"

#include <cstdio>
#include <utility>

namespace tavik {

void StderrMessageSink::show(const Message& message)
{
    // Bytes of a table quoted in a message never reach the terminal as
    // commands (an escape sequence could set the title or clear the screen).
    std::string text;
    if (!message.title.empty())
        text = cp932ToUtf8(withControlsEscaped(message.title)) + ": ";
    text += cp932ToUtf8(withControlsEscaped(message.text));
    if (text.empty() || text.back() != '\n')
        text += '\n';
    std::fputs(text.c_str(), stderr);
    std::fflush(stderr);
}

void SharedMessageLog::show(const Message& message)
{
    std::lock_guard<std::mutex> lock(mutex_);
    messages_.push_back(message);
}

std::vector<Message> SharedMessageLog::take()
{
    std::lock_guard<std::mutex> lock(mutex_);
    return std::exchange(messages_, {});
}

std::vector<std::string> MessageLog::utf8Texts() const
{
    std::vector<std::string> texts;
    for (const Message& message : messages)
        texts.push_back(cp932ToUtf8(message.text));
    return texts;
}

} // namespace tavik
