#include "tests/update/test_release_key.h"

#include <sodium.h>

#include <cstdlib>

using update::kReleaseSignatureBytes;

TestReleaseKey::TestReleaseKey() {
  static_assert(kSecretKeyBytes == crypto_sign_SECRETKEYBYTES);
  if (sodium_init() < 0 || crypto_sign_keypair(public_.data(), secret_.data()) != 0) std::abort();
}

QString TestReleaseKey::Hex() const {
  return QString::fromLatin1(
      QByteArray(reinterpret_cast<const char*>(public_.data()), qsizetype(public_.size())).toHex());
}

QByteArray TestReleaseKey::Sign(const QByteArray& data) const {
  QByteArray signature(kReleaseSignatureBytes, '\0');
  crypto_sign_detached(reinterpret_cast<unsigned char*>(signature.data()), nullptr,
                       reinterpret_cast<const unsigned char*>(data.constData()),
                       static_cast<unsigned long long>(data.size()), secret_.data());
  return signature;
}
