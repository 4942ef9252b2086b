#pragma once

#include <QByteArray>
#include <QString>
#include <QtGlobal>
#include <array>
#include <optional>
#include <string_view>

namespace update {

// The release signature: beside each update archive the server publishes ARCHIVE + ".sig", the
// raw Ed25519 signature of the archive's bytes made with the release key, and only an archive
// whose signature verifies against the public key built into the program is opened.

inline constexpr char kSignatureSuffix[] = ".sig";
// An Ed25519 public key and a detached signature, as raw bytes (RFC 8032).
inline constexpr std::size_t kReleaseKeyBytes = 32;
inline constexpr qsizetype kReleaseSignatureBytes = 64;

using ReleaseKey = std::array<unsigned char, kReleaseKeyBytes>;

// The key written as 64 hexadecimal digits (either letter case), the way the build option
// KESTROLAN_UPDATE_PUBLIC_KEY and `kestrolan-db check-update --key` take it; nullopt for
// anything else.
std::optional<ReleaseKey> ParseReleaseKey(std::string_view hex);

// The release public key built into the program (KESTROLAN_UPDATE_PUBLIC_KEY; the build refuses
// a key that is not 64 hexadecimal digits).
ReleaseKey BuiltInReleaseKey();

// True when `signature` is exactly 64 bytes and the Ed25519 signature of all of `data` by the
// private half of `key`. False for every other signature, an empty one included, and for a key
// that is not a usable Ed25519 public key.
bool VerifyReleaseSignature(const QByteArray& data, const QByteArray& signature,
                            const ReleaseKey& key);

// Why a fetched `signature` that did not verify is refused, as the user is told it: "the release
// signature is malformed" when it is not 64 bytes long, else "the release signature does not
// match".
QString SignatureRefusal(const QByteArray& signature);

// Told when the signature beside the archive could not be fetched (missing, empty, too slow).
inline constexpr char kSignatureNotFetched[] =
    QT_TRANSLATE_NOOP("Update", "the release signature could not be fetched");

}  // namespace update
