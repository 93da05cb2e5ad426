#pragma once

#include <cstdlib>
#include <optional>
#include <string>

namespace tavik::test {

// Sets an environment variable for the life of a test scope (programs the
// test starts inherit it) and gives back the value it had.
class ScopedEnvironment {
public:
    ScopedEnvironment(const char* name, const std::string& value)
        : name_(name)
    {
        if (const char* before = std::getenv(name))
            before_ = before;
        ::setenv(name, value.c_str(), 1);
    }
    ~ScopedEnvironment()
    {
        if (before_)
            ::setenv(name_.c_str(), before_->c_str(), 1);
        else
            ::unsetenv(name_.c_str());
    }
    ScopedEnvironment(const ScopedEnvironment&) = delete;
    ScopedEnvironment& operator=(const ScopedEnvironment&) = delete;

private:
    std::string name_;
    std::optional<std::string> before_;
};

// A held database lock is given up on after a fifth of a second instead of
// three: the tests that meet one check the refusal, not the length of the wait.
inline ScopedEnvironment shortLockWait() { return ScopedEnvironment("TAVIK_LOCK_WAIT_MS", "200"); }

} // namespace tavik::test
