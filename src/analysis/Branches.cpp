#include "Branches.h"

namespace {
constexpr std::array<int, NegativeLevelCount> NegativeOutward = {5, 4, 3, 2, 1, 0};
constexpr std::array<int, PositiveLevelCount> PositiveOutward
    = {6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 17};
} // namespace

std::span<const int> OutwardLevels(Branch branch)
{
    if (branch == Branch::Negative)
        return NegativeOutward;
    return PositiveOutward;
}

QString LevelName(int level)
{
    return QString::fromLatin1(LoadLevels[level].text) + QStringLiteral(" g");
}
