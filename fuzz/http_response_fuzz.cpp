// Fuzz target: a server's response, delivered in reads as the input says, read the way HttpGet
// reads it. The input is a script of reads: a length byte L, then L bytes that arrive in one read
// (fewer when the input ends first); L = 0 is a failed read (a time-out, a cancel), and the end
// of the input is the server's close. Any response must give a body or nothing, never a crash,
// a hang or a read beyond what arrived, and a body must fit its framing and the cap.
#include <QByteArray>
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string_view>

#include "fuzz/fuzz_check.h"
#include "update/http_response.h"

using namespace update;

namespace {

constexpr qint64 kMaxBody = 1 << 20;

class ScriptedSource : public HttpByteSource {
 public:
  explicit ScriptedSource(std::string_view script) : script_(script) {}

  ReadResult Receive(QByteArray* out, qint64 maxBytes) override {
    FuzzCheck(maxBytes > 0, "a read asks for at least one byte");
    if (failed_) return ReadResult::kFailed;
    if (pieceLeft_ == 0) {
      if (script_.empty()) return ReadResult::kEnd;
      pieceLeft_ = static_cast<unsigned char>(script_.front());
      script_.remove_prefix(1);
      if (pieceLeft_ == 0) {
        failed_ = true;
        return ReadResult::kFailed;
      }
      pieceLeft_ = std::min(pieceLeft_, script_.size());
      if (pieceLeft_ == 0) return ReadResult::kEnd;
    }
    const size_t take = std::min(pieceLeft_, static_cast<size_t>(maxBytes));
    out->append(script_.data(), static_cast<qsizetype>(take));
    script_.remove_prefix(take);
    pieceLeft_ -= take;
    return ReadResult::kData;
  }

 private:
  std::string_view script_;
  size_t pieceLeft_ = 0;
  bool failed_ = false;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  ScriptedSource source(std::string_view(reinterpret_cast<const char*>(data), size));
  ResponseReader reader(source);
  const std::optional<ResponseFraming> framing = ReadResponseHead(reader, kMaxBody);
  if (!framing) return 0;
  const std::optional<QByteArray> body = ReadBody(reader, *framing, kMaxBody, nullptr);
  if (!body) return 0;
  FuzzCheck(body->size() <= kMaxBody, "the body stays within its cap");
  FuzzCheck(static_cast<std::size_t>(body->size()) <= size,
            "the body holds only bytes that arrived");
  if (framing->framing == BodyFraming::kLength) {
    FuzzCheck(body->size() == framing->length, "a body has exactly its announced length");
  }
  return 0;
}
