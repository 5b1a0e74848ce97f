#include "spelldata/SpellCollection.h"
#include "spelldata/BookList.h"
#include "spelldata/Encoding.h"

#include <algorithm>
#include <gtest/gtest.h>
#include <vector>

using namespace spelldata;

namespace {
SpellRecord named(const std::string& name, bool marked = false) {
    SpellRecord r;
    r->Name = name;
    r->Marked = marked ? 1 : 0;
    return r;
}
} // namespace

TEST(SpellRecordTest, KindAgreesWithClassAndWrongKindAccessThrows) {
    SpellRecord wiz(SpellKind::Wizard), pri(SpellKind::Priest), psi(SpellKind::Psionic);
    EXPECT_EQ(wiz->Kind, 0);
    EXPECT_EQ(pri->Kind, 1);
    EXPECT_EQ(psi->Kind, 2);
    EXPECT_THROW(wiz.psi(), std::bad_variant_access);
    EXPECT_THROW(psi.pri(), std::bad_variant_access);
    EXPECT_EQ(psi.components(), nullptr);
    ASSERT_NE(pri.components(), nullptr);
    *pri.components() = "V";
    EXPECT_EQ(pri.pri().Components, "V");
    EXPECT_EQ(wiz->BookCounts, (std::array<std::uint8_t, 256>{}));
}

TEST(SpellRecordTest, LevelLetters) {
    EXPECT_EQ(LevelLetter(0), "C");
    EXPECT_EQ(LevelLetter(7), "7");
    EXPECT_EQ(LevelLetter(10), "10");
    EXPECT_EQ(LevelLetter(11), "D");
    EXPECT_EQ(LevelLetter(12), "S");
    EXPECT_EQ(LevelLetter(13), "I");
    EXPECT_EQ(LevelLetter(14), "");
}

TEST(BookBitsTest, BitsMapToBytesAndIgnoreOutOfRange) {
    BookBits bits;
    bits.set(0, true);
    bits.set(255, true);
    bits.set(256, true);
    bits.set(-1, true);
    EXPECT_TRUE(bits.test(0));
    EXPECT_TRUE(bits.test(255));
    EXPECT_FALSE(bits.test(256));
    EXPECT_FALSE(bits.test(1));
    bits.set(0, false);
    EXPECT_FALSE(bits.test(0));
}

TEST(SpellCollectionTest, RemovingMovesTheLastRecordIntoTheHole) {
    SpellCollection spells;
    for (const char* n : {"a", "b", "c", "d"})
        spells.Append(named(n, std::string(n) == "b"));
    EXPECT_EQ(spells.RemoveSlot(1), 3);
    ASSERT_EQ(spells.Count(), 3);
    EXPECT_EQ(spells[1]->Name, "d");
    EXPECT_EQ(spells.MarkedCount(), 0);
    EXPECT_EQ(spells.RemoveSlot(2), 2);
    EXPECT_EQ(spells.Count(), 2);
    EXPECT_EQ(spells[0]->Name, "a");
    EXPECT_EQ(spells[1]->Name, "d");
    EXPECT_THROW(spells.RemoveSlot(2), std::out_of_range);
}

TEST(SpellCollectionTest, CapacityIsNeverPassed) {
    SpellCollection spells;
    for (int i = 0; i < SpellCollection::Capacity; ++i)
        ASSERT_TRUE(spells.Append(SpellRecord()));
    EXPECT_TRUE(spells.Full());
    EXPECT_FALSE(spells.Append(named("one too many")));
    EXPECT_EQ(spells.Count(), SpellCollection::Capacity);
    spells.FreeAllSpells();
    EXPECT_EQ(spells.Count(), 0);
}

TEST(BookListTest, InitialListAndCaseInsensitiveLookup) {
    BookList books = InitialBookList();
    ASSERT_EQ(books.size(), 155u);
    EXPECT_EQ(books[0], "None - (Full List)");
    EXPECT_EQ(books[154], "#");
    books[3] = "\xC9t\xE9 Book"; // "Été Book"
    EXPECT_EQ(FindBook(books, "\xE9T\xC9 BOOK"), 3);
    EXPECT_EQ(FindBook(books, "none - (full list)"), 0);
    EXPECT_EQ(FindBook(books, "Missing"), -1);
    EXPECT_TRUE(IsBookPosition(books, 3));
    EXPECT_FALSE(IsBookPosition(books, 0));
    EXPECT_FALSE(IsBookPosition(books, 4));
}

TEST(EncodingTest, Windows1252RoundTripsEveryByte) {
    std::string all;
    for (int b = 1; b < 256; ++b)
        all += static_cast<char>(b);
    const std::string utf8 = Cp1252ToUtf8(all);
    EXPECT_NE(utf8.find("\xE2\x82\xAC"), std::string::npos); // the euro sign of 0x80
    bool lossless = false;
    EXPECT_EQ(Utf8ToCp1252(utf8, &lossless), all);
    EXPECT_TRUE(lossless);
    EXPECT_EQ(Utf8ToCp1252("\xE2\x98\x83 snow", &lossless), "? snow");
    EXPECT_FALSE(lossless);
    EXPECT_EQ(Utf8ToCp1252("\xC3"), "?"); // cut-off sequence
}

TEST(EncodingTest, CodePage437) {
    EXPECT_EQ(Cp437ToUtf8("\x82t\x82"), "\xC3\xA9t\xC3\xA9"); // été
    EXPECT_EQ(Cp437ToUtf8("\xAB"), "\xC2\xBD");               // one half
    EXPECT_EQ(Cp437ToUtf8("\xC4"), "\xE2\x94\x80");           // the rule character
}

TEST(BookBitsTest, DigitLinesRoundTripAndOnlyTheirOnesSetBits) {
    BookBits bits;
    const std::vector<int> books = {0, 7, 8, 15, 16, 100, 200, 255};
    for (const int b : books)
        bits.set(b, true);
    char digits[MaxBooks];
    bits.writeDigits(digits);
    for (int b = 0; b < MaxBooks; ++b)
        EXPECT_EQ(digits[b], std::count(books.begin(), books.end(), b) ? '1' : '0') << b;
    BookBits again;
    again.set(3, true); // cleared by the assignment
    again.assignDigits(std::string_view(digits, MaxBooks));
    EXPECT_EQ(again, bits);
    // A short line, characters other than '1', and a line longer than the bits.
    again.assignDigits("01x1 " + std::string(12, '0') + "1");
    std::vector<int> set;
    again.forEachSet([&](int b) { set.push_back(b); });
    EXPECT_EQ(set, (std::vector<int>{1, 3, 17}));
    again.assignDigits(std::string(300, '1'));
    set.clear();
    again.forEachSet([&](int b) { set.push_back(b); });
    EXPECT_EQ(set.size(), 256u);
    EXPECT_EQ(set.back(), 255);
}

TEST(SpellCollectionTest, AppendingARunKeepsOrderAndMarksAndStopsAtCapacity) {
    SpellCollection spells;
    std::vector<SpellRecord> first = {named("a", true), named("b")};
    EXPECT_EQ(spells.Append(std::move(first)), 2); // into an empty collection
    std::vector<SpellRecord> more = {named("c"), named("d", true)};
    EXPECT_EQ(spells.Append(std::move(more)), 2); // after what is there
    ASSERT_EQ(spells.Count(), 4);
    EXPECT_EQ(spells[0]->Name, "a");
    EXPECT_EQ(spells[3]->Name, "d");
    EXPECT_EQ(spells.MarkedCount(), 2);
    std::vector<SpellRecord> flood(SpellCollection::Capacity, named("x", true));
    EXPECT_EQ(spells.Append(std::move(flood)), SpellCollection::Capacity - 4);
    EXPECT_TRUE(spells.Full());
    EXPECT_EQ(spells.MarkedCount(), SpellCollection::Capacity - 2);
    EXPECT_EQ(spells.MarkedCount(), spells.CountMarked());
}
