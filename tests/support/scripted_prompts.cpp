#include "tests/support/scripted_prompts.h"

bool ScriptedPrompts::Answer(const QString& event) {
  shown << event;
  if (answers_.isEmpty()) {
    ++unexpected;
    return false;
  }
  return answers_.dequeue();
}

bool ScriptedPrompts::Choose(FileSelector& selector, const QString& event) {
  shown << event;
  if (fileNames_.isEmpty()) {
    ++unexpected;
    return false;
  }
  const QString path = fileNames_.dequeue();
  if (path.isEmpty()) return false;
  RememberChoice(selector, path);
  return true;
}
