#include "update/release_signature.h"

#include <sodium.h>

#include <QCoreApplication>

namespace update {

namespace {

static_assert(kReleaseKeyBytes == crypto_sign_PUBLICKEYBYTES);
static_assert(kReleaseSignatureBytes == crypto_sign_BYTES);

constexpr std::size_t kKeyHexDigits = 2 * kReleaseKeyBytes;

constexpr int HexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

constexpr bool IsKeyHex(std::string_view hex) {
  if (hex.size() != kKeyHexDigits) return false;
  for (const char c : hex) {
    if (HexValue(c) < 0) return false;
  }
  return true;
}

// The build checks the option already; this keeps a build that bypasses CMake honest too.
static_assert(IsKeyHex(KESTROLAN_UPDATE_PUBLIC_KEY),
              "KESTROLAN_UPDATE_PUBLIC_KEY must be 64 hexadecimal digits");

}  // namespace

std::optional<ReleaseKey> ParseReleaseKey(std::string_view hex) {
  if (!IsKeyHex(hex)) return std::nullopt;
  ReleaseKey key{};
  for (std::size_t i = 0; i < key.size(); ++i) {
    key[i] = static_cast<unsigned char>(HexValue(hex[2 * i]) << 4 | HexValue(hex[2 * i + 1]));
  }
  return key;
}

ReleaseKey BuiltInReleaseKey() { return *ParseReleaseKey(KESTROLAN_UPDATE_PUBLIC_KEY); }

bool VerifyReleaseSignature(const QByteArray& data, const QByteArray& signature,
                            const ReleaseKey& key) {
  // Safe to call again, from any thread; a library that cannot start verifies nothing.
  if (sodium_init() < 0) return false;
  if (signature.size() != kReleaseSignatureBytes) return false;
  return crypto_sign_verify_detached(reinterpret_cast<const unsigned char*>(signature.constData()),
                                     reinterpret_cast<const unsigned char*>(data.constData()),
                                     static_cast<unsigned long long>(data.size()), key.data()) == 0;
}

QString SignatureRefusal(const QByteArray& signature) {
  return signature.size() == kReleaseSignatureBytes
             ? QCoreApplication::translate("Update", "the release signature does not match")
             : QCoreApplication::translate("Update", "the release signature is malformed");
}

}  // namespace update
