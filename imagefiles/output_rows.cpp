#include "imagefiles/output_rows.h"

namespace tavik {

OutputRows::OutputRows(const PixelRows& rows, int outputBitsPerPixel, const Palette& palette)
    : rows_(rows)
    , outputBits_(outputBitsPerPixel)
    , palette_(palette)
{
    bool depths = (rows.bitsPerPixel == 8 || rows.bitsPerPixel == 24 || rows.bitsPerPixel == 32)
        && (outputBits_ == 8 || outputBits_ == 24);
    bool image = rows.data && rows.width > 0 && rows.height > 0
        && rows.stride >= static_cast<std::ptrdiff_t>(rows.width) * (rows.bitsPerPixel / 8);
    bool colours = outputBits_ != 8 || (!palette.empty() && palette.size() <= 256);
    valid_ = depths && image && colours;
    if (!valid_)
        return;
    if (rows.bitsPerPixel != outputBits_)
        buffer_.resize(rowBytes());
    if (rows.bitsPerPixel > 8 && outputBits_ == 8)
        indexer_.emplace(palette_);
}

const std::uint8_t* OutputRows::row(int y)
{
    const std::uint8_t* source = rows_.row(y);
    if (rows_.bitsPerPixel == outputBits_)
        return source;
    std::uint8_t* out = buffer_.data();
    const int step = rows_.bitsPerPixel / 8;
    if (outputBits_ == 8) {
        for (int x = 0; x < rows_.width; ++x, source += step)
            out[x] = indexer_->index({source[2], source[1], source[0]});
    } else if (step == 4) {
        for (int x = 0; x < rows_.width; ++x, source += 4, out += 3) {
            out[0] = source[0];
            out[1] = source[1];
            out[2] = source[2];
        }
    } else {
        for (int x = 0; x < rows_.width; ++x, out += 3) {
            Colour colour = source[x] < palette_.size() ? palette_[source[x]] : Colour{};
            out[0] = colour.b;
            out[1] = colour.g;
            out[2] = colour.r;
        }
    }
    return buffer_.data();
}

} // namespace tavik
