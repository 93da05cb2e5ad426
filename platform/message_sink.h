#pragma once

#include <mutex>
#include <string>
#include <vector>

namespace tavik {

// The icon of a message box: what kind of message it is.
enum class MessageIcon { Stop, Exclamation, Information, Question };

// A message shown to the person at the machine. Title and text are cp932.
struct Message {
    std::string title;
    std::string text;
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

    void stop(std::string title, std::string text) { show({std::move(title), std::move(text), MessageIcon::Stop}); }
};

// Prints each message to stderr in UTF-8: the title (when there is one) and
// the text, each line of the text on its own line.
class StderrMessageSink : public MessageSink {
public:
    void show(const Message& message) override;
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
