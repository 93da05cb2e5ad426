#pragma once

#include "platform/cp932_text.h"

#include <cstdio>
#include <mutex>
#include <string>
#include <vector>

namespace tavik {

// The icon of a message box: what kind of message it is.
enum class MessageIcon { Stop, Exclamation, Information, Question };

// A message shown to the person at the machine.
struct Message {
    Cp932Text title;
    Cp932Text text;
    MessageIcon icon = MessageIcon::Stop;
};

// Where messages go: a message box in the windowed program, stderr on the
// command line, a list in tests.
class MessageSink {
public:
    virtual ~MessageSink() = default;
    virtual void show(const Message& message) = 0;

    // Shows a message with OK and Cancel: true when OK was chosen. Where no
    // one can answer, the message is shown and the answer is Cancel.
    virtual bool ask(const Message& message)
    {
        show(message);
        return false;
    }

    // Shows a message without a title that stops the job at hand.
    void stop(Cp932Text text) { show({{}, std::move(text), MessageIcon::Stop}); }
};

// Prints each message on the console as the two-line report of every
// program (printReport): the first line of a message of several lines is the
// file it names, as the viewer's messages name their file first; a message of
// one line names none and follows an empty file line. A title, when there is
// one, leads the message.
class StderrMessageSink : public MessageSink {
public:
    explicit StderrMessageSink(std::FILE* stream = stderr)
        : stream_(stream)
    {
    }
    void show(const Message& message) override;

private:
    std::FILE* stream_;
};

// Keeps the messages of worker threads (any thread may show one) until the
// thread of the windows shows them.
class SharedMessageLog : public MessageSink {
public:
    void show(const Message& message) override;
    // The messages kept so far, emptying the log.
    std::vector<Message> take();

private:
    std::mutex mutex_;
    std::vector<Message> messages_;
};

// Keeps every message; tests read them back. Questions are kept too and
// answered with `answer`.
class MessageLog : public MessageSink {
public:
    void show(const Message& message) override { messages.push_back(message); }
    // Keeps the question and answers it with `answer`.
    bool ask(const Message& message) override
    {
        messages.push_back(message);
        return answer;
    }

    // The texts of all messages converted to UTF-8, one per entry.
    std::vector<std::string> utf8Texts() const;

    std::vector<Message> messages;
    bool answer = true; // what ask() answers
};

} // namespace tavik
