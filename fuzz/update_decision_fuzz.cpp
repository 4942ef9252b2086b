// Fuzz target: FindUpdate over any version list, the user's answer scripted. The first input
// byte's low bit answers the download question (1: OK); the rest is the list. The decision is
// checked against a reading of the list with the C library's strtok, which the list format is
// defined by, and the prompts against the decision.
#include <QByteArray>
#include <QString>
#include <QStringList>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>

#include "fuzz/fuzz_check.h"
#include "tests/support/scripted_prompts.h"
#include "update/update_check.h"
#include "update/version_list.h"

using namespace update;

namespace {

constexpr char kName[] = "Kestrolan";
constexpr char kVersion[] = "v01.01";

// The decision as strtok and strcmp make it: fields cut one after another, each with its own
// delimiters; the rest after the first letter compared as unsigned bytes, then the first letters
// as signed ones.
UpdateDecision ReferenceDecision(const QByteArray& list) {
  std::string text(list.constData(), static_cast<std::size_t>(list.size()));
  text.resize(std::strlen(text.c_str()));  // the list ends at its first NUL byte
  UpdateDecision found;
  for (char* name = std::strtok(text.data(), "=\n\r\t"); name != nullptr;
       name = std::strtok(nullptr, "=\n\r\t")) {
    const char* version = std::strtok(nullptr, ",\n\r\t");
    const char* date = std::strtok(nullptr, ",\n\r\t");
    const char* file = std::strtok(nullptr, ";\n\r\t");
    if (file == nullptr || date == nullptr || std::strcmp(name, kName) != 0) continue;
    const std::string listed = version == nullptr ? "" : version;
    const int byRest = std::strcmp(listed.empty() ? "" : listed.c_str() + 1, kVersion + 1);
    const bool newer = byRest > 0 || (byRest == 0 && static_cast<signed char>(listed.c_str()[0]) >
                                                         static_cast<signed char>(kVersion[0]));
    found.kind = newer ? UpdateDecision::Kind::kNewer : UpdateDecision::Kind::kUpToDate;
    found.version = QByteArray(listed.c_str());
    found.date = QByteArray(date);
    found.file = QByteArray(file);
    return found;
  }
  return found;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  const bool answerOk = (data[0] & 1) != 0;
  const QByteArray list(reinterpret_cast<const char*>(data + 1), static_cast<qsizetype>(size - 1));
  ScriptedPrompts prompts;
  prompts.SetNextAnswer(answerOk);

  const QByteArray chosen = FindUpdate(list, kName, kVersion, prompts);
  const UpdateDecision decision = DecideUpdate(list, kName, kVersion);
  const UpdateDecision expected = ReferenceDecision(list);
  FuzzCheck(decision.kind == expected.kind, "the decision is strtok's");
  FuzzCheck(decision.version == expected.version && decision.date == expected.date &&
                decision.file == expected.file,
            "the deciding entry's fields are strtok's");
  FuzzCheck(prompts.shown.size() == 1, "exactly one prompt is shown");
  switch (decision.kind) {
    case UpdateDecision::Kind::kNotFound:
      FuzzCheck(prompts.shown.front() == "info: No update found", "not found is reported");
      FuzzCheck(chosen.isEmpty(), "nothing is fetched when no entry is found");
      break;
    case UpdateDecision::Kind::kUpToDate:
      FuzzCheck(prompts.shown.front() == "info: Your program is up to date", "up to date is told");
      FuzzCheck(chosen.isEmpty(), "nothing is fetched when up to date");
      break;
    case UpdateDecision::Kind::kNewer:
      FuzzCheck(prompts.shown.front().startsWith("okcancel: New version present."),
                "a newer version is offered");
      FuzzCheck(chosen == (answerOk ? decision.file : QByteArray()),
                "the archive is fetched exactly when the user chose OK");
      break;
  }
  return 0;
}
