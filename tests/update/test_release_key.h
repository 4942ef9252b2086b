#pragma once

#include <QByteArray>
#include <QString>
#include <array>

#include "update/release_signature.h"

// A release key pair the tests make for themselves, fresh with libsodium for each object: it
// signs what a test serves or installs, and its public half is handed to the code under test in
// place of the built-in release key.
class TestReleaseKey {
 public:
  TestReleaseKey();

  const update::ReleaseKey& publicKey() const { return public_; }
  // The public key as the build option and `kestrolan-db check-update --key` take it.
  QString Hex() const;
  // The raw 64-byte Ed25519 signature of `data`.
  QByteArray Sign(const QByteArray& data) const;

 private:
  static constexpr std::size_t kSecretKeyBytes = 64;
  update::ReleaseKey public_{};
  std::array<unsigned char, kSecretKeyBytes> secret_{};
};
