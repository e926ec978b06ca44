#include "app/program_actions.h"

// Each operation sets its slot here; a slot left empty does nothing.
MainActions ProgramActions() {
  MainActions actions;
  return actions;
}
