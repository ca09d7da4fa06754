#include "blockmove.h"

#include <cstddef>

namespace quirex::app::ui
{

std::vector<MoveStep> blockMoveSteps(const std::vector<bool> &selected, int offset)
{
    std::vector<MoveStep> steps;
    const int count = int(selected.size());
    if (offset > 0) {
        for (int i = count - 1; i >= 0; --i) {
            if (!selected[std::size_t(i)])
                continue;
            if (i + offset >= count)
                break;
            steps.emplace_back(i, i + offset);
        }
    } else if (offset < 0) {
        for (int i = 0; i < count; ++i) {
            if (!selected[std::size_t(i)])
                continue;
            if (i + offset < 0)
                break;
            steps.emplace_back(i, i + offset);
        }
    }
    return steps;
}

} // namespace quirex::app::ui
