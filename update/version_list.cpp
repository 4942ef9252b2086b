#include "update/version_list.h"

#include <algorithm>
#include <cstring>
#include <string_view>

namespace update {

namespace {

// Delimiter sets of the four fields of a version list entry.
constexpr std::string_view kNameDelimiters = "=\n\r\t";
constexpr std::string_view kVersionDelimiters = ",\n\r\t";
constexpr std::string_view kDateDelimiters = ",\n\r\t";
constexpr std::string_view kFileDelimiters = ";\n\r\t";

// Cuts a text into tokens the way strtok does, but with no state outside the object: each call
// skips the delimiters of its own set, then takes the token up to the next one of them, which is
// consumed.
class Tokenizer {
 public:
  explicit Tokenizer(std::string_view text) : rest_(text) {}

  QByteArray Next(std::string_view delimiters) {
    const size_t start = rest_.find_first_not_of(delimiters);
    if (start == std::string_view::npos) {
      rest_ = {};
      return {};
    }
    rest_.remove_prefix(start);
    const size_t end = rest_.find_first_of(delimiters);
    const std::string_view token = rest_.substr(0, end);
    rest_.remove_prefix(end == std::string_view::npos ? rest_.size() : end + 1);
    return QByteArray(token.data(), static_cast<qsizetype>(token.size()));
  }

 private:
  std::string_view rest_;
};

// The version list as text: its bytes up to the first NUL byte.
std::string_view ListText(const QByteArray& list) {
  const char* data = list.constData();
  const auto size = static_cast<size_t>(list.size());
  const void* nul = std::memchr(data, '\0', size);
  return {data, nul ? static_cast<size_t>(static_cast<const char*>(nul) - data) : size};
}

}  // namespace

UpdateDecision DecideUpdate(const QByteArray& list, const QByteArray& programName,
                            const QByteArray& programVersion) {
  Tokenizer tokens(ListText(list));
  for (QByteArray name = tokens.Next(kNameDelimiters); !name.isEmpty();
       name = tokens.Next(kNameDelimiters)) {
    UpdateDecision entry;
    entry.version = tokens.Next(kVersionDelimiters);
    entry.date = tokens.Next(kDateDelimiters);
    entry.file = tokens.Next(kFileDelimiters);
    if (entry.file.isEmpty() || entry.date.isEmpty() || name != programName) continue;
    entry.kind = IsNewerVersion(entry.version, programVersion) ? UpdateDecision::Kind::kNewer
                                                               : UpdateDecision::Kind::kUpToDate;
    return entry;
  }
  return {};
}

bool IsNewerVersion(const QByteArray& listedVersion, const QByteArray& programVersion) {
  const auto rest = [](const QByteArray& version) {
    return version.isEmpty() ? QByteArray() : version.mid(1);
  };
  const QByteArray listedRest = rest(listedVersion);
  const QByteArray programRest = rest(programVersion);
  const auto unsignedLess = [](char a, char b) {
    return static_cast<unsigned char>(a) < static_cast<unsigned char>(b);
  };
  if (std::lexicographical_compare(programRest.begin(), programRest.end(), listedRest.begin(),
                                   listedRest.end(), unsignedLess)) {
    return true;
  }
  if (std::lexicographical_compare(listedRest.begin(), listedRest.end(), programRest.begin(),
                                   programRest.end(), unsignedLess)) {
    return false;
  }
  const auto first = [](const QByteArray& version) {
    return static_cast<signed char>(version.isEmpty() ? '\0' : version.front());
  };
  return first(listedVersion) > first(programVersion);
}

}  // namespace update
