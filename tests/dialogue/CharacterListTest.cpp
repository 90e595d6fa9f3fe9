#include <gtest/gtest.h>

#include "dialogue/CharacterList.h"
#include "document/SoundDocument.h"

namespace zv {
namespace {

TEST(CharacterListTest, OldDocumentsAreOneUnnamedSpeakerOnThePlainTracks) {
    SoundDocument document;
    const CharacterList list = CharacterList::Of(document);
    ASSERT_TRUE(list.IsSingleUnnamed());
    EXPECT_EQ(CharacterList::WordsTrack(list.All()[0].id), "Words");
    EXPECT_EQ(CharacterList::MouthsTrack(list.All()[0].id), "Mouths");
    EXPECT_EQ(CharacterList::PhonemesTrack(2), "Phonemes 2");
}

TEST(CharacterListTest, NamesAreTrimmedAndNeverEmptyOrTaken) {
    CharacterList list;
    EXPECT_EQ(list.Add("   "), 0);
    EXPECT_EQ(list.Add(""), 0);
    EXPECT_TRUE(list.Rename(1, "  Ann "));
    EXPECT_EQ(list.All()[0].name, "Ann");
    EXPECT_EQ(list.Add("Ann"), 0);
    const int bob = list.Add("Bob\t");
    ASSERT_EQ(bob, 2);
    EXPECT_FALSE(list.Rename(bob, "Ann"));
    EXPECT_FALSE(list.Rename(bob, " \t "));
    EXPECT_EQ(list.Find(bob)->name, "Bob");
    EXPECT_NE(list.Find(bob)->colour, list.Find(1)->colour);
    EXPECT_TRUE(list.Remove(1));
    EXPECT_FALSE(list.Remove(bob));   // the last one stays
    // Ids are never reused: a new character never takes a deleted one's tracks.
    EXPECT_EQ(list.Add("Cy"), 3);
}

TEST(CharacterListTest, KeptOnATrackAndReadBackSkippingDamage) {
    CharacterList list;
    list.Rename(1, "Ann");
    const int bob = list.Add("Bob");
    list.Find(bob)->mouthSet = "a-h";
    list.Find(bob)->drawings = "/home/me/bob";
    std::vector<TrackItem> items = list.Items();
    items.push_back({0, 0, "Bad", "not json"});
    items.push_back({0, 0, "Dup", R"({"id":2})"});
    items.push_back({0, 0, "Huge", R"({"id":1e300})"});
    items.push_back({0, 0, "Ann", R"({"id":9})"});
    const CharacterList back = CharacterList::FromItems(items);
    ASSERT_EQ(back.size(), 2u);
    EXPECT_EQ(back.All(), list.All());
    EXPECT_TRUE(CharacterList::FromItems({{0, 0, "x", "[]"}}).IsSingleUnnamed());
}

TEST(CharacterListTest, ANameFromAScriptFindsAddsOrNamesTheUnnamedSpeaker) {
    CharacterList list;
    // The unnamed speaker alone takes the first name and keeps the plain tracks.
    EXPECT_EQ(list.IdFor(" Ann "), 1);
    EXPECT_EQ(list.Find(1)->name, "Ann");
    EXPECT_EQ(list.IdFor("Bob"), 2);
    EXPECT_EQ(list.IdFor("Ann"), 1);
    EXPECT_EQ(list.IdFor("Bob"), 2);
    EXPECT_EQ(list.size(), 2u);
    EXPECT_EQ(list.IdFor("  "), 0);
    EXPECT_EQ(list.size(), 2u);
}

} // namespace
} // namespace zv
