#include "shell/navigator/functions/ShellIDLists.h"

#include <gtest/gtest.h>

#include <cstring>
#include <random>
#include <vector>

namespace {

using TBytes = std::vector<std::uint8_t>;

// An item of `payload` bytes after its count.
TBytes Item(std::size_t payload, std::uint8_t fill)
{
    TBytes item(payload + 2, fill);
    item[0] = static_cast<std::uint8_t>((payload + 2) & 0xFF);
    item[1] = static_cast<std::uint8_t>((payload + 2) >> 8);
    return item;
}

TBytes ListOf(std::initializer_list<TBytes> items)
{
    TBytes list;
    for (const TBytes& item : items)
        list.insert(list.end(), item.begin(), item.end());
    list.push_back(0);
    list.push_back(0);
    return list;
}

// A heap copy of exactly these bytes, so that ASan sees any read past them.
struct TExactList
{
    explicit TExactList(const TBytes& bytes)
        : memory(new std::uint8_t[bytes.size()])
    {
        std::memcpy(memory.get(), bytes.data(), bytes.size());
    }
    const TItemIdList* get() const { return AsIDList(memory.get()); }
    std::unique_ptr<std::uint8_t[]> memory;
};

TBytes BytesOf(const TItemIdList* list)
{
    const std::uint8_t* bytes = IDListBytes(list);
    return TBytes(bytes, bytes + IDListSize(list));
}

}  // namespace

TEST(ShellIDLists, FunctionsWorkOnTheBytes)
{
    const TBytes a = Item(3, 0xA1);
    const TBytes b = Item(1, 0xB2);
    const TBytes c = Item(5, 0xC3);
    const TExactList list(ListOf({a, b, c}));

    EXPECT_EQ(IDListSize(list.get()), 5u + 3u + 7u + 2u);
    EXPECT_EQ(IDListCount(list.get()), 3u);
    EXPECT_EQ(BytesOf(CloneIDList(list.get()).get()), ListOf({a, b, c}));
    EXPECT_EQ(BytesOf(GetIDListItem(list.get(), 1).get()), ListOf({b}));
    EXPECT_EQ(GetIDListItem(list.get(), 3), nullptr);
    EXPECT_EQ(BytesOf(TruncateIDList(list.get(), 2).get()), ListOf({a, b}));
    EXPECT_EQ(BytesOf(TruncateIDList(list.get(), 0).get()), ListOf({}));
    EXPECT_EQ(BytesOf(TruncateIDList(list.get(), 9).get()), ListOf({a, b, c}));

    const TExactList tail(ListOf({c}));
    EXPECT_EQ(BytesOf(ConcatIDLists(list.get(), tail.get()).get()), ListOf({a, b, c, c}));
    EXPECT_EQ(BytesOf(ConcatIDLists(nullptr, tail.get()).get()), ListOf({c}));
    EXPECT_EQ(BytesOf(ConcatIDLists(tail.get(), nullptr).get()), ListOf({c}));
    EXPECT_EQ(ConcatIDLists(nullptr, nullptr), nullptr);
}

TEST(ShellIDLists, NullAndDesktop)
{
    EXPECT_EQ(IDListSize(nullptr), 0u);
    EXPECT_EQ(IDListCount(nullptr), 0u);
    EXPECT_EQ(TruncateIDList(nullptr, 1), nullptr);
    EXPECT_EQ(GetIDListItem(nullptr, 0), nullptr);
    EXPECT_EQ(GetPathFromIDList(nullptr), "");
    const TExactList desktop(ListOf({}));
    EXPECT_EQ(IDListSize(desktop.get()), 2u);
    EXPECT_EQ(IDListCount(desktop.get()), 0u);
    EXPECT_EQ(GetIDListItem(desktop.get(), 0), nullptr);
}

TEST(ShellIDLists, BufferCheckRejectsMalformedLists)
{
    const TBytes good = ListOf({Item(4, 1), Item(0, 2)});
    EXPECT_EQ(ValidIDListSize(good.data(), good.size()), good.size());
    // Extra bytes after the terminator are not part of the list.
    TBytes padded = good;
    padded.push_back(0x55);
    EXPECT_EQ(ValidIDListSize(padded.data(), padded.size()), good.size());

    const TBytes withoutTerminator(good.begin(), good.end() - 2);
    EXPECT_EQ(ValidIDListSize(withoutTerminator.data(), withoutTerminator.size()), 0u);
    TBytes overrun = good;
    overrun[0] = 200;
    EXPECT_EQ(ValidIDListSize(overrun.data(), overrun.size()), 0u);
    TBytes countOfOne = good;
    countOfOne[0] = 1;
    EXPECT_EQ(ValidIDListSize(countOfOne.data(), countOfOne.size()), 0u);
    EXPECT_EQ(ValidIDListSize(good.data(), 1), 0u);
    EXPECT_EQ(ValidIDListSize(nullptr, 10), 0u);
    EXPECT_EQ(IDListFromBuffer(overrun.data(), overrun.size()), nullptr);
    EXPECT_EQ(BytesOf(IDListFromBuffer(padded.data(), padded.size()).get()), good);
}

TEST(ShellIDLists, CountBelowTwoEndsTheList)
{
    // An item claiming one byte would make a walk step into its own count.
    TBytes list = ListOf({Item(2, 7), Item(3, 8)});
    list[4] = 1;
    list[5] = 0;
    const TExactList exact(list);
    EXPECT_EQ(IDListCount(exact.get()), 1u);
    EXPECT_EQ(IDListSize(exact.get()), 6u);
    EXPECT_EQ(BytesOf(CloneIDList(exact.get()).get()), ListOf({Item(2, 7)}));
    EXPECT_EQ(GetIDListItem(exact.get(), 1), nullptr);
}

// Random bytes pass the buffer check or not; whatever passes must be safe for
// every function, and the functions must agree with each other on it.
TEST(ShellIDLists, FuzzedBuffers)
{
    std::mt19937 random(20261208);
    std::uniform_int_distribution<int> byte(0, 255);
    std::uniform_int_distribution<int> length(0, 48);
    int accepted = 0;
    for (int round = 0; round < 20000; ++round) {
        TBytes buffer;
        if (round % 2) {
            buffer.resize(static_cast<std::size_t>(length(random)));
            for (std::uint8_t& value : buffer)
                value = static_cast<std::uint8_t>(byte(random) % (round % 4 == 1 ? 256 : 12));
        } else {
            // A well-formed list with a few bytes changed, counts included.
            for (int items = byte(random) % 4; items > 0; --items) {
                const TBytes item =
                    Item(static_cast<std::size_t>(byte(random) % 6), static_cast<std::uint8_t>(byte(random)));
                buffer.insert(buffer.end(), item.begin(), item.end());
            }
            buffer.push_back(0);
            buffer.push_back(0);
            for (int changes = byte(random) % 3; changes > 0; --changes)
                buffer[static_cast<std::size_t>(byte(random)) % buffer.size()] =
                    static_cast<std::uint8_t>(byte(random) % 10);
        }
        const TExactList exactBuffer(buffer.empty() ? TBytes{0} : buffer);
        const std::size_t size = ValidIDListSize(exactBuffer.memory.get(), buffer.size());
        if (size == 0)
            continue;
        ++accepted;
        const TExactList list(TBytes(buffer.begin(), buffer.begin() + static_cast<std::ptrdiff_t>(size)));
        ASSERT_EQ(IDListSize(list.get()), size);
        const std::size_t count = IDListCount(list.get());
        std::size_t itemBytes = 0;
        for (std::size_t index = 0; index < count; ++index) {
            const TItemIdListPtr item = GetIDListItem(list.get(), index);
            ASSERT_TRUE(item);
            ASSERT_EQ(IDListCount(item.get()), 1u);
            itemBytes += IDListSize(item.get()) - 2;
        }
        ASSERT_EQ(itemBytes + 2, size);
        const TItemIdListPtr parent = TruncateIDList(list.get(), count ? count - 1 : 0);
        const TItemIdListPtr last = GetIDListItem(list.get(), count ? count - 1 : 0);
        const TItemIdListPtr joined = ConcatIDLists(parent.get(), last.get());
        ASSERT_EQ(BytesOf(count ? joined.get() : parent.get()), BytesOf(list.get()));
        ASSERT_TRUE(IDListsEqual(CloneIDList(list.get()).get(), list.get()));
        ASSERT_EQ(GetPathFromIDList(list.get()).size() < 4096, true);
    }
    EXPECT_GT(accepted, 100);
}
