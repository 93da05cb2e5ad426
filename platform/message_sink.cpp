#include "platform/message_sink.h"

#include "platform/cp932.h"

#include <cstdio>

namespace tavik {

void StderrMessageSink::show(const Message& message)
{
    std::string text;
    if (!message.title.empty())
        text = cp932ToUtf8(message.title) + ": ";
    text += cp932ToUtf8(message.text);
    if (text.empty() || text.back() != '\n')
        text += '\n';
    std::fputs(text.c_str(), stderr);
    std::fflush(stderr);
}

std::vector<std::string> MessageLog::utf8Texts() const
{
    std::vector<std::string> texts;
    for (const Message& message : messages)
        texts.push_back(cp932ToUtf8(message.text));
    return texts;
}

} // namespace tavik
