#include "platform/message_sink.h"

#include "platform/cp932.h"
#include "platform/report_text.h"

#include <cstdio>
#include <utility>

namespace tavik {

void StderrMessageSink::show(const Message& message)
{
    std::string text = cp932ToUtf8(message.text);
    while (!text.empty() && text.back() == '\n')
        text.pop_back();
    const size_t fileEnd = text.find('\n');
    std::string file;
    if (fileEnd != std::string::npos) {
        file = text.substr(0, fileEnd);
        text.erase(0, fileEnd + 1);
    }
    if (!message.title.empty())
        text = cp932ToUtf8(message.title) + ": " + text;
    printReport(file, text, stream_);
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
