#pragma once

#include <iconv.h>

namespace tavik {

// An iconv conversion descriptor, closed with its owner. valid() is false
// when the system cannot open the conversion; errno then says why.
class IconvHandle {
public:
    IconvHandle(const char* to, const char* from)
        : cd_(iconv_open(to, from))
    {
    }
    ~IconvHandle()
    {
        if (valid())
            iconv_close(cd_);
    }
    IconvHandle(const IconvHandle&) = delete;
    IconvHandle& operator=(const IconvHandle&) = delete;

    // iconv_open reports failure as (iconv_t)-1.
    bool valid() const { return cd_ != reinterpret_cast<iconv_t>(-1); } // NOLINT(performance-no-int-to-ptr)
    iconv_t get() const { return cd_; }

private:
    iconv_t cd_;
};

} // namespace tavik
