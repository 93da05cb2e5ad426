#pragma once

#include <cstddef>
#include <vector>

namespace tavik {

// Asks the kernel to back a large buffer that has not been written yet with
// huge pages. A map of a species with a million records fills some hundred
// megabytes of fresh lists, and faulting them in 4 kB at a time costs more
// than drawing. Buffers under 2 MB, and kernels that refuse, are left as
// they are: the advice never changes what the buffer holds.
void preferHugePages(const void* data, std::size_t bytes);

// The same for the room a list has reserved.
template <typename T, typename A> void preferHugePages(const std::vector<T, A>& list)
{
    preferHugePages(list.data(), list.capacity() * sizeof(T));
}

} // namespace tavik
