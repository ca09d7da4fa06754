#pragma once

#include <utility>
#include <vector>

namespace quirex::app::ui
{

// One step of a block move: take the item at `from` and insert it at `to`
// (both indices of the list as it is when the step runs).
using MoveStep = std::pair<int, int>;

// The steps that move every selected item of a list by `offset` places,
// keeping their order: downwards the items are taken from the last to the
// first, upwards from the first to the last. The first selected item whose
// new place would lie outside the list ends the walk, so a selection that
// touches the edge it moves towards does not move at all.
std::vector<MoveStep> blockMoveSteps(const std::vector<bool> &selected, int offset);

} // namespace quirex::app::ui
