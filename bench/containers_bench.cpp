// Prints what the maps and lists cost on 100 000 entries: map insertion (in
// sorted mode, keys ascending), 1000 lookups by linear scan (unsorted),
// lookups by binary search (sorted), removal; list insertion, getAt and
// removal.
// Every figure is the best of five rounds, as the machine may be busy.
#include <winsock2.h>
#include <windows.h>

#include <cstdint>
#include <cstdio>

#include "BenchHelpers.h"
#include "NMapNumToNum.h"
#include "NMapNumToString.h"
#include "NMapStringToNum.h"
#include "NMapStringToString.h"
#include "NNumList.h"
#include "NPointList.h"
#include "NPointerList.h"
#include "NStringList.h"
#include "NString.h"

namespace {

const int entries = 100000;
const int scans = 1000;  // unsorted lookups: each scans half the map on average
const int rounds = 5;

// Keys whose byte order is their numeric order, so that ascending numbers
// are ascending texts.
NString* makeTexts()
{
    NString* texts = new NString[entries];
    for (int i = 0; i < entries; ++i)
        texts[i].format("key%06d", i);
    return texts;
}

// A scattered but repeatable order of the keys 0 .. entries - 1.
int scattered(int i)
{
    return static_cast<int>((static_cast<long long>(i) * 7919) % entries);
}

long long checksum = 0;

void report(const char* what, const char* step, double best)
{
    std::printf("%-20s %-16s %9.2f ms\n", what, step, best * 1000.0);
}

struct Best {
    double figures[4] = {1e9, 1e9, 1e9, 1e9};
    void keep(int step, double start)
    {
        const double took = seconds() - start;
        if (took < figures[step])
            figures[step] = took;
    }
};

// Key i of a map with number keys or with text keys.
template <class Key>
struct KeyAt;
template <>
struct KeyAt<int> {
    static int get(const NString*, int i) { return i; }
};
template <>
struct KeyAt<NString> {
    static const NString& get(const NString* texts, int i) { return texts[i]; }
};

// Map: insert (sorted, ascending), unsorted lookup, sorted lookup, remove
// (from the last key down).
template <class Map, class Key, class Value>
void benchMap(const char* name, const NString* texts, Value value)
{
    Best best;
    for (int round = 0; round < rounds; ++round) {
        Map map;
        map.setSorted(true);
        double start = seconds();
        for (int i = 0; i < entries; ++i)
            map.setAt(KeyAt<Key>::get(texts, i), value);
        best.keep(0, start);

        map.setSorted(false);
        start = seconds();
        for (int i = 0; i < scans; ++i)
            checksum += map.contains(KeyAt<Key>::get(texts, scattered(i)));
        best.keep(1, start);

        map.setSorted(true);
        start = seconds();
        for (int i = 0; i < entries; ++i)
            checksum += map.contains(KeyAt<Key>::get(texts, scattered(i)));
        best.keep(2, start);

        start = seconds();
        for (int i = entries - 1; i >= 0; --i)
            map.removeKey(KeyAt<Key>::get(texts, i));
        best.keep(3, start);
        checksum += map.getCount();
    }
    report(name, "insert", best.figures[0]);
    report(name, "lookup (1000)", best.figures[1]);
    report(name, "sorted lookup", best.figures[2]);
    report(name, "remove", best.figures[3]);
}

// List: add at the end, getAt over every element, removeAt from the end;
// each step runs `passes` times so that it lasts long enough to be timed.
template <class List, class Element>
void benchList(const char* name, const Element& value)
{
    const int passes = 10;
    Best best;
    for (int round = 0; round < rounds; ++round) {
        List lists[passes];
        double start = seconds();
        for (List& list : lists)
            for (int i = 0; i < entries; ++i)
                list.add(value);
        best.keep(0, start);

        start = seconds();
        for (List& list : lists)
            for (int i = 0; i < entries; ++i)
                checksum += reinterpret_cast<uintptr_t>(&list.getAt(i)) & 1;
        best.keep(1, start);

        start = seconds();
        for (List& list : lists) {
            for (int i = entries - 1; i >= 0; --i)
                list.removeAt(i);
            checksum += list.getCount();
        }
        best.keep(2, start);
    }
    report(name, "insert (x10)", best.figures[0]);
    report(name, "getAt (x10)", best.figures[1]);
    report(name, "remove (x10)", best.figures[2]);
}

}  // namespace

int main()
{
    const NString* texts = makeTexts();
    std::printf("%d entries, best of %d rounds\n", entries, rounds);
    benchMap<NMapNumToNum, int>("NMapNumToNum", texts, 7);
    benchMap<NMapNumToString, int>("NMapNumToString", texts, NString("Wert"));
    benchMap<NMapStringToNum, NString>("NMapStringToNum", texts, 7);
    benchMap<NMapStringToString, NString>("NMapStringToString", texts, NString("Wert"));
    static int target = 0;
    benchList<NPointerList>("NPointerList", static_cast<void*>(&target));
    benchList<NNumList>("NNumList", 7);
    benchList<NStringList>("NStringList", NString("Wert"));
    benchList<NPointList>("NPointList", NPoint(3, 4));
    std::printf("checksum %lld\n", checksum);
    delete[] texts;
    return 0;
}
