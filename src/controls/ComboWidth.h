#pragma once

class QComboBox;

// Sizes a combo box of names to its widest name without laying out every
// item: by default a combo box shapes the text of each of its items to find
// its width, and a list of a thousand relations then costs tens of
// milliseconds each time a window holding it opens.
namespace ComboWidth {

// Call after the items are in; the box is never narrower than minimumLength
// average characters.
void fitLongest(QComboBox *combo, int minimumLength);

} // namespace ComboWidth
