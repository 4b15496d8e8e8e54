// The two measurement cursors.

#include "interaction/Interaction.h"

namespace specterm {

void Interaction::PlaceCursor(int, float, float) {}

}  // namespace specterm
