#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "ui/engine/base/std_ptr_array.h"
#include "ui/engine/base/std_string_ptr_map.h"
#include "ui/engine/base/std_val_array.h"

using namespace TarselUI;

namespace {

LPVOID Tag(int n) { return reinterpret_cast<LPVOID>(static_cast<INT_PTR>(n)); }

std::vector<std::wstring> KeysInOrder(const CStdStringPtrMap& map) {
    std::vector<std::wstring> keys;
    for (int i = 0; i < map.GetSize(); ++i) keys.emplace_back(map.GetAt(i));
    return keys;
}

}  // namespace

TEST(StdPtrArray, CapacityGrowsFrom0To11ThenDoublesKeepingOneSlotFree) {
    CStdPtrArray array;
    EXPECT_EQ(0, array.GetCapacity());
    struct Step {
        int adds;
        int capacity;
    } steps[] = {{1, 11}, {10, 11}, {11, 22}, {21, 22}, {22, 44}, {44, 88}};
    int added = 0;
    for (const auto& step : steps) {
        while (added < step.adds) ASSERT_TRUE(array.Add(Tag(++added)));
        EXPECT_EQ(step.capacity, array.GetCapacity()) << step.adds;
        EXPECT_LT(array.GetSize(), array.GetCapacity());
    }
    for (int i = 0; i < array.GetSize(); ++i) ASSERT_EQ(Tag(i + 1), array[i]);
}

TEST(StdPtrArray, InsertRemoveAndFindKeepOrder) {
    CStdPtrArray array;
    array.Add(Tag(1));
    array.Add(Tag(3));
    EXPECT_TRUE(array.InsertAt(1, Tag(2)));
    EXPECT_TRUE(array.InsertAt(0, Tag(0)));
    EXPECT_TRUE(array.InsertAt(4, Tag(4)));  // at the end
    EXPECT_FALSE(array.InsertAt(6, Tag(9)));
    EXPECT_FALSE(array.InsertAt(-1, Tag(9)));
    ASSERT_EQ(5, array.GetSize());
    for (int i = 0; i < 5; ++i) EXPECT_EQ(Tag(i), array.GetAt(i));

    EXPECT_TRUE(array.Remove(0));
    EXPECT_FALSE(array.Remove(4));
    EXPECT_EQ(2, array.Find(Tag(3)));
    EXPECT_EQ(-1, array.Find(Tag(0)));
    EXPECT_EQ(nullptr, array.GetAt(4));
    EXPECT_TRUE(array.SetAt(0, Tag(7)));
    EXPECT_FALSE(array.SetAt(4, Tag(7)));
    EXPECT_EQ(Tag(7), array[0]);

    array.Resize(3);
    EXPECT_EQ(3, array.GetSize());
    for (int i = 0; i < 3; ++i) EXPECT_EQ(nullptr, array[i]);
    EXPECT_TRUE(array.Add(Tag(5)));  // growing out of an exact-fit resize
    EXPECT_EQ(Tag(5), array[3]);
    array.Empty();
    EXPECT_TRUE(array.IsEmpty());
    EXPECT_EQ(0, array.GetCapacity());
}

TEST(StdValArray, CopiesRecordsAndEmptyKeepsStorage) {
    struct Record {
        int a;
        double b;
    };
    CStdValArray array(sizeof(Record));
    for (int i = 0; i < 12; ++i) {
        Record r{i, i * 0.5};
        ASSERT_TRUE(array.Add(&r));
    }
    EXPECT_EQ(22, array.GetCapacity());
    EXPECT_TRUE(array.Remove(0));
    EXPECT_FALSE(array.Remove(11));
    ASSERT_EQ(11, array.GetSize());
    for (int i = 0; i < 11; ++i) {
        auto* r = static_cast<Record*>(array.GetAt(i));
        EXPECT_EQ(i + 1, r->a);
        EXPECT_EQ((i + 1) * 0.5, r->b);
    }
    EXPECT_EQ(nullptr, array.GetAt(11));
    array.Empty();
    EXPECT_TRUE(array.IsEmpty());
    EXPECT_EQ(22, array.GetCapacity());
}

TEST(StdStringPtrMap, HashRunsFromTheLastCharacterToTheFirst) {
    struct Case {
        const wchar_t* key;
        UINT hash;
    } cases[] = {
        {L"", 0},
        {L"a", 97},
        {L"ab", 98 * 33 + 97},
        {L"abc", (99u * 33 + 98) * 33 + 97},
    };
    for (const auto& c : cases) EXPECT_EQ(c.hash, CStdStringPtrMap::HashKey(c.key)) << c.key;
    // Wraps in unsigned 32-bit arithmetic.
    std::wstring longKey(40, L'z');
    UINT expected = 0;
    for (int i = 0; i < 40; ++i) expected = expected * 33 + L'z';
    EXPECT_EQ(expected, CStdStringPtrMap::HashKey(longKey.c_str()));
}

TEST(StdStringPtrMap, NewEntriesGoFirstAndFindWithOptimizeMovesToFront) {
    // "a", "q" and "A" all hash to bucket 1 of 16 (97, 113, 65 mod 16).
    CStdStringPtrMap map(16);
    ASSERT_TRUE(map.Insert(L"a", Tag(1)));
    ASSERT_TRUE(map.Insert(L"q", Tag(2)));
    ASSERT_TRUE(map.Insert(L"A", Tag(3)));
    EXPECT_EQ((std::vector<std::wstring>{L"A", L"q", L"a"}), KeysInOrder(map));

    EXPECT_EQ(Tag(2), map.Find(L"q", false));
    EXPECT_EQ((std::vector<std::wstring>{L"A", L"q", L"a"}), KeysInOrder(map));
    EXPECT_EQ(Tag(2), map.Find(L"q", true));
    EXPECT_EQ((std::vector<std::wstring>{L"q", L"A", L"a"}), KeysInOrder(map));
    EXPECT_EQ(Tag(1), map.Find(L"a", true));  // the tail of the chain
    EXPECT_EQ((std::vector<std::wstring>{L"a", L"q", L"A"}), KeysInOrder(map));

    EXPECT_TRUE(map.Remove(L"q"));  // from the middle: links stay whole
    EXPECT_EQ((std::vector<std::wstring>{L"a", L"A"}), KeysInOrder(map));
    EXPECT_EQ(Tag(3), map.Find(L"A"));
    EXPECT_EQ(nullptr, map.Find(L"q"));
}

TEST(StdStringPtrMap, GetAtWalksBucketsFromTheLast) {
    CStdStringPtrMap map(16);
    map.Insert(L"a", Tag(1));  // bucket 1
    map.Insert(L"b", Tag(2));  // bucket 2
    map.Insert(L"o", Tag(3));  // 111 -> bucket 15
    EXPECT_EQ((std::vector<std::wstring>{L"o", L"b", L"a"}), KeysInOrder(map));
    EXPECT_EQ(nullptr, map.GetAt(3));
    EXPECT_EQ(nullptr, map.GetAt(-1));
}

TEST(StdStringPtrMap, InsertRefusesPresentKeysAndSetReplaces) {
    CStdStringPtrMap map;
    EXPECT_EQ(83, map.GetBucketCount());
    EXPECT_TRUE(map.Insert(L"font", Tag(1)));
    EXPECT_FALSE(map.Insert(L"font", Tag(2)));
    EXPECT_EQ(Tag(1), map.Find(L"font"));
    EXPECT_EQ(nullptr, map.Find(L"Font"));  // keys are exact
    EXPECT_EQ(Tag(1), map.Set(L"font", Tag(3)));
    EXPECT_EQ(nullptr, map.Set(L"image", Tag(4)));
    EXPECT_EQ(2, map.GetSize());
    EXPECT_EQ(Tag(3), map.Find(L"font"));
    EXPECT_FALSE(map.Remove(L"none"));

    map.Resize(4);  // too few buckets are raised to 16
    EXPECT_EQ(16, map.GetBucketCount());
    EXPECT_EQ(0, map.GetSize());
    EXPECT_EQ(nullptr, map.Find(L"font"));
}

TEST(StdStringPtrMap, ManyKeysAllFoundAfterRemovals) {
    CStdStringPtrMap map(16);
    for (int i = 0; i < 500; ++i) {
        ASSERT_TRUE(map.Insert((L"key" + std::to_wstring(i)).c_str(), Tag(i + 1)));
    }
    for (int i = 0; i < 500; i += 2) ASSERT_TRUE(map.Remove((L"key" + std::to_wstring(i)).c_str()));
    EXPECT_EQ(250, map.GetSize());
    for (int i = 0; i < 500; ++i) {
        LPVOID expected = (i % 2) ? Tag(i + 1) : nullptr;
        ASSERT_EQ(expected, map.Find((L"key" + std::to_wstring(i)).c_str(), i % 3 == 0)) << i;
    }
    map.RemoveAll();
    EXPECT_EQ(0, map.GetSize());
}
