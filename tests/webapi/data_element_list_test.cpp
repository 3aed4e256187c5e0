#include "webapi/data_element_list.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "literal_data_element_list.h"

namespace qrv {
namespace {

using testing::LiteralDataElementList;

std::vector<std::string> AllElements(DataElementList& list) {
  std::vector<std::string> elements;
  while (list.Next()) elements.emplace_back(list.current());
  return elements;
}

DataElementList Loaded(const std::string& text) {
  DataElementList list;
  list.Load(text);
  return list;
}

TEST(DataElementListTest, ReadsElementsAndAttributes) {
  DataElementList list = Loaded(
      "<?xml version='1.0'?><list>\n"
      "<data id='7' name='玄岚城[7服]' code='s7' />\n"
      "<data id='8' name='玄岚城[8服]' code='s8' />\n"
      "</list>");
  ASSERT_EQ(list.size(), 2u);
  ASSERT_TRUE(list.Next());
  EXPECT_EQ(list.current(), "<data id='7' name='玄岚城[7服]' code='s7' />");
  EXPECT_EQ(list.Attribute("id"), "7");
  EXPECT_EQ(list.Attribute("name"), "玄岚城[7服]");
  ASSERT_TRUE(list.Next());
  EXPECT_EQ(list.Attribute("code"), "s8");
  EXPECT_FALSE(list.Next());
  EXPECT_FALSE(list.Next());
}

TEST(DataElementListTest, EmptyTextAndTextWithoutDataGiveNoElements) {
  DataElementList list = Loaded("");
  EXPECT_FALSE(list.Next());
  EXPECT_EQ(list.Attribute("id"), "");

  list = Loaded("<html><body>502 Bad Gateway</body></html>");
  EXPECT_EQ(list.size(), 0u);
  EXPECT_FALSE(list.Next());
  EXPECT_EQ(list.Attribute("id"), "");
}

TEST(DataElementListTest, ElementsWithoutCloseBecomeSingleCharactersAndReadingEnds) {
  DataElementList list = Loaded("<list><data id='1'><data id='2'></list>");
  // Each "data" gives the character before it, then its own "d", since no "/>" follows.
  EXPECT_EQ(AllElements(list), (std::vector<std::string>{"<", "d", "<", "d"}));
  EXPECT_EQ(list.Attribute("id"), "");
}

TEST(DataElementListTest, ElementsAfterTheLastCloseBecomeSingleCharacters) {
  DataElementList list = Loaded("<data id='1' /><data id='2'>");
  EXPECT_EQ(AllElements(list), (std::vector<std::string>{"<data id='1' />", "<", "d"}));
}

TEST(DataElementListTest, DataAtTheStartBeginsTheElementThere) {
  DataElementList list = Loaded("data id='5' />data id='6' />");
  EXPECT_EQ(AllElements(list), (std::vector<std::string>{"data id='5' />", "data id='6' />"}));
  EXPECT_EQ(list.Attribute("id"), "6");
}

TEST(DataElementListTest, ValueIsCutAtAnApostrophe) {
  DataElementList list = Loaded("<data nick='O'Brien' id='3' />");
  ASSERT_TRUE(list.Next());
  EXPECT_EQ(list.Attribute("nick"), "O");
  EXPECT_EQ(list.Attribute("id"), "3");
}

TEST(DataElementListTest, KeysMatchAsPlainSubstringsFirstOccurrenceWins) {
  DataElementList list = Loaded("<data id='1' uid_type='qq' uid='77' />");
  ASSERT_TRUE(list.Next());
  // "uid" is found inside "uid_type": the three key characters and "_t" are skipped and the
  // text up to the next quote is what the platform's client has always read.
  EXPECT_EQ(list.Attribute("uid"), "ype=");
  EXPECT_EQ(list.Attribute("uid_type"), "qq");
  // "id" is found first in "id='1'" and would be found inside "uid" otherwise.
  EXPECT_EQ(list.Attribute("id"), "1");

  list = Loaded("<data uid='77' uid_type='qq' />");
  ASSERT_TRUE(list.Next());
  EXPECT_EQ(list.Attribute("uid"), "77");
  EXPECT_EQ(list.Attribute("uid_type"), "qq");
  // The first "id" is now the one inside "uid".
  EXPECT_EQ(list.Attribute("id"), "77");
}

TEST(DataElementListTest, AbsentKeyDropsKeyLengthPlusOneCharacters) {
  DataElementList list = Loaded("<data x='1' y='2' />");
  ASSERT_TRUE(list.Next());
  // "vip" is absent: "<dat" is dropped and the reading stops at the first quote after it.
  EXPECT_EQ(list.Attribute("vip"), "a x=");
  // A key longer than the element leaves nothing to read.
  EXPECT_EQ(list.Attribute("a_key_longer_than_this_whole_element"), "");
}

TEST(DataElementListTest, LoadReplacesThePreviousList) {
  DataElementList list = Loaded("<data id='1' /><data id='2' />");
  ASSERT_TRUE(list.Next());
  list.Load("<data id='3' />");
  EXPECT_EQ(list.Attribute("id"), "");
  EXPECT_EQ(AllElements(list), (std::vector<std::string>{"<data id='3' />"}));
}

// Agreement with the step-by-step reader on generated and mutated responses.

const char* const kKeys[] = {"id",   "name", "code", "type",     "state", "open_date", "uid",   "uid_type",
                             "nick", "data", "",     "'",        "d",     "a",         "=",     "no_such_key",
                             "/>",   "<",    "x",    "add_date", "title", "url",       "played"};

const char* const kFragments[] = {"<data",   "data",
                                  "/>",      " id='",
                                  "'",       " name='玄岚城[",
                                  "服]",     "uid_type='qq'",
                                  " uid='",  "dat",
                                  "ata",     "d",
                                  "a",       "/",
                                  ">",       "<",
                                  " ",       "\n",
                                  "12",      "=",
                                  "'",       "\xff",
                                  "\xe7",    "da",
                                  "ta",      "<list>",
                                  "</list>", "data/>",
                                  "<data/>"};

std::string RealisticList(std::mt19937& rng, int count) {
  std::string text = "<?xml version='1.0' encoding='utf-8'?><list>";
  for (int i = 0; i < count; ++i) {
    const std::string n = std::to_string(rng() % 900 + 1);
    text += "<data id='" + n + "' name='玄岚城[" + n + "服]' code='s" + n + "' type='" +
            std::to_string(rng() % 3) + "' state='" + std::to_string(rng() % 5) + "' open_date='2013-0" +
            std::to_string(rng() % 9 + 1) + "-01' />\n";
  }
  return text + "</list>";
}

std::string Generated(std::mt19937& rng) {
  std::string text;
  const int pieces = static_cast<int>(rng() % 40);
  for (int i = 0; i < pieces; ++i) text += kFragments[rng() % std::size(kFragments)];
  return text;
}

std::string Mutated(std::mt19937& rng, std::string text) {
  const int mutations = static_cast<int>(rng() % 6) + 1;
  for (int m = 0; m < mutations && !text.empty(); ++m) {
    const std::size_t at = rng() % text.size();
    switch (rng() % 4) {
      case 0:
        text.erase(at, rng() % 8 + 1);
        break;
      case 1:
        text.insert(at, kFragments[rng() % std::size(kFragments)]);
        break;
      case 2:
        text[at] = static_cast<char>(rng() % 256);
        break;
      default:
        text.insert(at, text.substr(at, rng() % 20));
        break;
    }
  }
  return text;
}

void ExpectSameReading(const std::string& text) {
  LiteralDataElementList literal;
  literal.Load(text);
  DataElementList list;
  list.Load(text);
  ASSERT_EQ(list.size(), literal.elements().size()) << "text: " << text;
  // Before the first Next both have no current element.
  for (const char* key : kKeys) ASSERT_EQ(list.Attribute(key), literal.Attribute(key)) << text;
  while (true) {
    const bool more = literal.Next();
    ASSERT_EQ(list.Next(), more) << "text: " << text;
    if (!more) break;
    ASSERT_EQ(list.current(), literal.current()) << "text: " << text;
    for (const char* key : kKeys) {
      ASSERT_EQ(list.Attribute(key), literal.Attribute(key))
          << "key '" << key << "' in " << literal.current();
    }
  }
}

TEST(DataElementListTest, AgreesWithTheStepByStepReaderOnGeneratedText) {
  std::mt19937 rng(20240611);
  for (int i = 0; i < 2000; ++i) {
    ExpectSameReading(Generated(rng));
    if (HasFatalFailure()) return;
  }
}

TEST(DataElementListTest, AgreesWithTheStepByStepReaderOnMutatedServerLists) {
  std::mt19937 rng(7);
  for (int i = 0; i < 2000; ++i) {
    ExpectSameReading(Mutated(rng, RealisticList(rng, static_cast<int>(rng() % 6))));
    if (HasFatalFailure()) return;
  }
}

TEST(DataElementListTest, AgreesWithTheStepByStepReaderOnEdgeTexts) {
  const char* const texts[] = {"data",       "ddata",          "dataa",
                               "datadata",   "/>data",         "data/>",
                               "<data",      "x<data/>/>",     "<data/><data/>",
                               "'data'/>",   "<data a='/>'",   "<datdata id='1'/>",
                               "\0data\0/>", "<data id='1' /", "<data id='1'/ >data"};
  for (const char* text : texts) ExpectSameReading(text);
  ExpectSameReading(std::string("a\0<data id='1'/>\0data", 22));
}

}  // namespace
}  // namespace qrv
