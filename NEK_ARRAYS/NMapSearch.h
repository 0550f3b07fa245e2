#ifndef NEK_NMAPSEARCH_H
#define NEK_NMAPSEARCH_H

// The key search of the maps. compare(i) gives -1, 0 or 1 for the key of
// entry i against the key looked for. An unsorted map is scanned from the
// first entry; a sorted one is searched in halves, probing the upper middle.
// The result is the entry's index, or the complement (~) of the position
// where the key would be inserted (count for an unsorted map).
namespace NMapSearch {

template <class Compare>
int find(int count, bool sorted, Compare compare)
{
    if (!sorted) {
        for (int i = 0; i < count; ++i)
            if (compare(i) == 0)
                return i;
        return ~count;
    }
    int low = 0;
    int high = count - 1;
    int probe = 0;
    int last = 1;
    while (low <= high) {
        probe = low + (high - low + 1) / 2;
        last = compare(probe);
        if (last == 0)
            return probe;
        if (last < 0)
            low = probe + 1;
        else
            high = probe - 1;
    }
    return ~(last < 0 ? probe + 1 : probe);
}

}  // namespace NMapSearch

#endif
