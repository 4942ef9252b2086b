#include "tools/png_writer.h"

#include <zlib.h>

#include <array>
#include <cstdint>
#include <string_view>
#include <vector>

using platform::Status;
using radardb::MapImage;

namespace {

// The file's fixed first eight bytes.
constexpr std::string_view kSignature("\x89PNG\r\n\x1A\n", 8);
constexpr int kBitDepth = 8;
constexpr int kColourTypeRgb = 2;
constexpr int kFilterNone = 0;
constexpr std::size_t kBytesPerPixel = 3;
// zlib's deflate input and output steps.
constexpr std::size_t kChunkBytes = 1 << 16;

void AppendBigEndian(std::string& out, std::uint32_t value) {
  for (int shift = 24; shift >= 0; shift -= 8) out.push_back(static_cast<char>(value >> shift));
}

// A chunk: length, type, data, and the CRC of type and data.
void AppendChunk(std::string& out, std::string_view type, std::string_view data) {
  AppendBigEndian(out, static_cast<std::uint32_t>(data.size()));
  const std::size_t typeAt = out.size();
  out.append(type);
  out.append(data);
  const auto* checked = reinterpret_cast<const Bytef*>(out.data() + typeAt);
  AppendBigEndian(out, static_cast<std::uint32_t>(crc32(crc32(0, nullptr, 0), checked,
                                                        static_cast<uInt>(out.size() - typeAt))));
}

// Deflate stream that frees its state on every path.
class Deflater {
 public:
  Deflater() { ok_ = deflateInit(&stream_, Z_DEFAULT_COMPRESSION) == Z_OK; }
  ~Deflater() {
    if (ok_) deflateEnd(&stream_);
  }
  Deflater(const Deflater&) = delete;
  Deflater& operator=(const Deflater&) = delete;

  // Compresses `input` onto `out`; `finish` on the last call. False when zlib fails.
  bool Add(std::string_view input, bool finish, std::string& out) {
    if (!ok_) return false;
    stream_.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(input.data()));
    stream_.avail_in = static_cast<uInt>(input.size());
    std::array<Bytef, kChunkBytes> buffer;
    int result = Z_OK;
    do {
      stream_.next_out = buffer.data();
      stream_.avail_out = static_cast<uInt>(buffer.size());
      result = deflate(&stream_, finish ? Z_FINISH : Z_NO_FLUSH);
      if (result == Z_STREAM_ERROR) return false;
      out.append(reinterpret_cast<const char*>(buffer.data()), buffer.size() - stream_.avail_out);
    } while (stream_.avail_out == 0 || (finish && result != Z_STREAM_END));
    return true;
  }

 private:
  z_stream stream_{};
  bool ok_ = false;
};

}  // namespace

Status EncodePng(const MapImage& image, std::string& png) {
  if (image.width() > kMaxPngSide || image.height() > kMaxPngSide) {
    return Status::InvalidArgument("picture too large");
  }
  std::string header;
  AppendBigEndian(header, static_cast<std::uint32_t>(image.width()));
  AppendBigEndian(header, static_cast<std::uint32_t>(image.height()));
  header += {static_cast<char>(kBitDepth), static_cast<char>(kColourTypeRgb), 0, 0, 0};

  // Each row: its filter byte, then red, green and blue of every pixel.
  const auto width = static_cast<std::size_t>(image.width());
  std::string row(1 + width * kBytesPerPixel, static_cast<char>(kFilterNone));
  std::string compressed;
  Deflater deflater;
  for (int y = 0; y < image.height(); ++y) {
    const std::uint32_t* pixels = image.Pixels() + std::size_t(y) * width;
    for (std::size_t x = 0; x < width; ++x) {
      row[1 + 3 * x] = static_cast<char>(pixels[x] >> 16);
      row[2 + 3 * x] = static_cast<char>(pixels[x] >> 8);
      row[3 + 3 * x] = static_cast<char>(pixels[x]);
    }
    if (!deflater.Add(row, false, compressed))
      return Status::WriteError("cannot compress the picture");
  }
  if (!deflater.Add({}, true, compressed)) return Status::WriteError("cannot compress the picture");

  png.assign(kSignature);
  AppendChunk(png, "IHDR", header);
  AppendChunk(png, "IDAT", compressed);
  AppendChunk(png, "IEND", {});
  return Status();
}
