#include "controls/ComboWidth.h"

#include "controls/AdvanceSum.h"

#include <QComboBox>

#include <algorithm>

namespace ComboWidth {

void fitLongest(QComboBox *combo, int minimumLength)
{
    AdvanceSum sum(combo->font());
    int widest = 0;
    for (int i = 0; i < combo->count(); ++i)
        widest = std::max(widest, sum.width(combo->itemText(i)));
    const int perCharacter = std::max(1, sum.width(QStringLiteral("x")));
    combo->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    combo->setMinimumContentsLength(
        std::max(minimumLength, (widest + perCharacter - 1) / perCharacter));
}

} // namespace ComboWidth
