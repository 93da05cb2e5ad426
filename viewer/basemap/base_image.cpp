#include "viewer/basemap/base_image.h"

#include "imagefiles/image_files.h"
#include "platform/cp932.h"
#include "platform/message_sink.h"
#include "platform/paths.h"
#include "viewer/settings/settings.h"

namespace tavik {
namespace {

enum class ImageFormat { Png, Bmp, Other };

// The extension decides the reader; only these four spellings are known.
ImageFormat formatOf(const std::string& path)
{
    std::string extension = splitPath(path).extension;
    if (extension == ".png" || extension == ".PNG")
        return ImageFormat::Png;
    if (extension == ".bmp" || extension == ".BMP")
        return ImageFormat::Bmp;
    return ImageFormat::Other;
}

void reportReaderError(ImageReadStatus status, const std::string& path, MessageSink& messages)
{
    switch (status) {
    case ImageReadStatus::OutOfMemory:
        messages.stop(cp932Literal("メモリが足りません。"));
        break;
    case ImageReadStatus::UnsupportedDepth:
        messages.stop(cp932Printf("地図画像(%s)の色モードはサポートしていません。\n\n設定情報 ( tavik.ini ) "
                                  "には８ビット形式か２４ビット形式のPNG,BMPファイルを指定して下さい。",
            path.c_str()));
        break;
    default:
        messages.stop(
            cp932Printf("地図画像(%s)が読めません。\n\nファイルの属性や内容を確認して下さい。", path.c_str()));
        break;
    }
}

} // namespace

bool loadBaseImage(const Settings& settings, BaseImage& base, MessageSink& messages)
{
    // Screens here always have 24 or 32 bits per pixel, so the refusal of
    // screens below 8 bits and the nearest-index pixels of 8-bit screens
    // have no case to handle.
    std::string path = makeAbsolute(settings.blankMap, settings.startupDirectory);
    if (!fileExists(path)) {
        messages.stop(
            cp932Printf("地図画像(%s)がありません。\n\n設定情報 ( tavik.ini ) には８ビット形式か２４ビット形式の "
                        "PNG, BMP ファイルを指定して下さい。",
                path.c_str()));
        return false;
    }
    ImageFormat format = formatOf(path);
    if (format == ImageFormat::Other) {
        messages.stop(cp932Printf("地図画像(%s)の形式が違います。\n\n設定情報 ( tavik.ini ) には PNG , BMP "
                                  "いずれかの形式のファイルを指定して下さい。",
            path.c_str()));
        return false;
    }

    DecodedImage decoded;
    ImageReadStatus status = format == ImageFormat::Png ? readPng(path, decoded) : readBmp(path, decoded);
    if (status != ImageReadStatus::Ok) {
        reportReaderError(status, path, messages);
        return false;
    }
    if (decoded.bitsPerPixel != 8 && decoded.bitsPerPixel != 24) {
        messages.stop(cp932Printf("地図画像(%s)が読めません。\n\n設定情報 ( tavik.ini ) "
                                  "には８ビット形式か２４ビット形式のPNG,BMPファイルを指定して下さい。",
            path.c_str()));
        return false;
    }

    QImage image(decoded.width, decoded.height, QImage::Format_RGB32);
    if (image.isNull()) {
        messages.stop(cp932Literal("メモリが足りません"));
        return false;
    }
    for (int y = 0; y < decoded.height; ++y) {
        const std::uint8_t* in = decoded.row(y);
        auto* out = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < decoded.width; ++x, in += 3)
            out[x] = qRgb(in[2], in[1], in[0]);
    }

    base.image = std::move(image);
    base.sourceDepth = decoded.bitsPerPixel;
    // An 8-bit file brings its own colour table; a grey file has none and
    // keeps the standard palette.
    base.palette
        = decoded.bitsPerPixel == 8 && !decoded.palette.empty() ? std::move(decoded.palette) : standardPalette();
    if (settings.convertColor)
        convertColor(base, (*settings.convertColor)[0], (*settings.convertColor)[1]);
    return true;
}

void convertColor(BaseImage& base, const Colour& from, const Colour& to)
{
    if (from == to || base.image.isNull())
        return;
    QRgb source = qRgb(from.r, from.g, from.b);
    QRgb target = qRgb(to.r, to.g, to.b);
    for (int y = 0; y < base.image.height(); ++y) {
        auto* pixels = reinterpret_cast<QRgb*>(base.image.scanLine(y));
        for (int x = 0; x < base.image.width(); ++x)
            if (pixels[x] == source)
                pixels[x] = target;
    }
}

} // namespace tavik
