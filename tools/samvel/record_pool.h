#pragma once

#include <cstdint>
#include <memory>
#include <new>
#include <vector>

namespace tavik {

// Records handed out from blocks of 10,000, so that millions of records cost
// a few hundred allocations. The pool grows by one block at a time up to
// 1,000 blocks; records are addressed by their number in the pool.
template <typename Record> class RecordPool {
public:
    static constexpr std::uint32_t blockRecords = 10000;
    static constexpr std::uint32_t maxBlocks = 1000;
    static constexpr std::uint32_t none = static_cast<std::uint32_t>(-1);

    // A new default record's number, or none when the pool cannot grow.
    std::uint32_t add()
    {
        if (count_ == blocks_.size() * blockRecords) {
            if (blocks_.size() == maxBlocks)
                return none;
            Record* block = new (std::nothrow) Record[blockRecords];
            if (!block)
                return none;
            blocks_.emplace_back(block);
        }
        return count_++;
    }

    Record& operator[](std::uint32_t number) { return blocks_[number / blockRecords][number % blockRecords]; }
    const Record& operator[](std::uint32_t number) const
    {
        return blocks_[number / blockRecords][number % blockRecords];
    }

    std::uint32_t size() const { return count_; }

private:
    std::vector<std::unique_ptr<Record[]>> blocks_;
    std::uint32_t count_ = 0;
};

} // namespace tavik
