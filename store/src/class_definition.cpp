// The two classification definitions of the project's option file.
#include <stddef.h>
#include <string.h>

#include "xQdDb100.h"

static_assert(sizeof(ClassDefinition) == 202, "a classification definition is 202 bytes");
static_assert(offsetof(ClassDefinition, start) == offsetof(ClassLevels, start) &&
                  offsetof(ClassDefinition, length) == offsetof(ClassLevels, length) &&
                  offsetof(ClassDefinition, name) == sizeof(ClassLevels),
              "a definition begins with its levels");

int32_t xReadClassDefinitions(ProjectDb* db, ClassDefinition defs[2]) {
  memset(defs, 0, 2 * sizeof(ClassDefinition));
  if (xOption(&db->opt, XOPT_READ, XQD_CLASSES_OPTION, defs, 2 * sizeof(ClassDefinition)) == 1)
    return 1;
  memset(defs, 0, 2 * sizeof(ClassDefinition));
  return 0;
}

ClassLevels xClassLevelsOf(const ClassDefinition* def) {
  ClassLevels levels;
  memcpy(&levels, def, sizeof levels);
  return levels;
}
