#ifndef NEK_NQUICKSORT_H
#define NEK_NQUICKSORT_H

// The quicksort of the lists and maps: the middle element is the pivot, and
// elements are exchanged from both ends towards it. direction 1 sorts
// ascending, -1 descending, in the order compare gives.
//   pivotAt(i)        the pivot value of element i (kept while a range is split)
//   compare(i, pivot) -1, 0 or 1 for element i against the pivot
//   exchange(i, j)    swaps two elements
// The smaller part recurses and the larger one loops, so the stack stays
// shallow even when the pivot splits badly.
namespace NQuickSort {

template <class PivotAt, class Compare, class Exchange>
void sort(int low, int high, int direction, PivotAt pivotAt, Compare compare, Exchange exchange)
{
    while (low < high) {
        const auto pivot = pivotAt(low + (high - low) / 2);
        int left = low;
        int right = high;
        while (left <= right) {
            while (compare(left, pivot) == -direction)
                ++left;
            while (compare(right, pivot) == direction)
                --right;
            if (left <= right) {
                exchange(left, right);
                ++left;
                --right;
            }
        }
        if (right - low < high - left) {
            sort(low, right, direction, pivotAt, compare, exchange);
            low = left;
        } else {
            sort(left, high, direction, pivotAt, compare, exchange);
            high = right;
        }
    }
}

}  // namespace NQuickSort

#endif
