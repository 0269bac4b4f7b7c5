#include "engine/sort_texts.h"

#include <algorithm>
#include <functional>

// A stable sort gives exactly what a bubble sort that swaps only strictly misordered
// neighbours gives, without its quadratic passes; std::string compares its bytes as
// unsigned char.
void SortTexts(std::vector<std::string>& vecTexts, bool bDescending)
{
    if (bDescending)
        std::stable_sort(vecTexts.begin(), vecTexts.end(), std::greater<>());
    else
        std::stable_sort(vecTexts.begin(), vecTexts.end(), std::less<>());
}
