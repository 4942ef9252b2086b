#include "update/update_check.h"

#include "app/app_identity.h"
#include "app/prompts.h"
#include "update/update_program.h"

QByteArray BuiltInUpdateHost() { return KESTROLAN_UPDATE_HOST; }

bool OfferUpdate(const UpdateEnvironment& env) {
  if (!env.prompts.QuestionYesNo("Check for program updates ?")) return false;
  return UpdateProgram(env, AppName, AppVersion, true);
}
