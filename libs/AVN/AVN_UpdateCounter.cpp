#include "AVN_UpdateCounter.h"

#include "GLO_Text.h"
#include "WIN_ResourceString.h"

namespace avn {

void UpdateCounter_t::Next()
{
  // Loaded once: the language cannot change while the program runs.
  static const win::ResourceString_t text(11806, GLO_HERE);
  ++Count;
  dialog_.SetItemText(ControlId, text.Format({glo::GLO_Decimal(Count), glo::GLO_Decimal(Total)}, GLO_HERE));
}

}  // namespace avn
