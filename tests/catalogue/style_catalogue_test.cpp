#include "maker/style_catalogue.h"

#include <gtest/gtest.h>

#include <map>
#include <string>

namespace signmaker {
namespace {

TEST(StyleCatalogue, BuildsTheRequestOfARow) {
  struct Case {
    int index;
    std::string url;
    std::string body;  // for the encoded line "AB"
  };
  const Case cases[] = {
      {0, "http://www.vobta.example/p/re119.php",
       "id=AB&id1609=vobta&id1608=vobta_com&id1=156&id2=314&id3=53Y&id4=%23FF73FF&idi=vobta"
       "&id5=%23000000&id6=1"},
      {152, "http://www.vobta.example/p/re86.php",
       "id=AB&id1609=vobta&id1608=vobta_com&id1=90&id2=&id3=&id4=%23FFA98F&idi=vobta&id5=391"
       "&id6=1"},
      {107, "http://www.vobta.example/p/re31.php",
       "id=55Z&id1609=vobta&id1608=vobta_com&id1=33&id2=5&id3=%230000FF&id4=%2300AAFF"
       "&idi=vobta&id5=%23FF0000&id7=AB&id9=&id10=&id11=&id12="},
      {54, "http://www.vobta.example/p/re72.php",
       "id=AB&id1609=vobta&id1608=vobta_com&id1=78&id2=%23FF550D&id3=%238D85FF&id4=%238D85FF"
       "&idi=vobta&id5=3&id7=55Z&id8=388&id9=%E7%AD%89%E4%BD%A0%E7%9A%84%E5%AD%A6%E5%A6%B9"
       "&id10=0&id11=&id12="},
      {114, "http://www.vobta.example/p/re72.php",
       "id=AB&id1609=vobta&id1608=vobta_com&id1=76&id2=%23FAFFB3&id3=%2396F1FF&id4=%23FAFFB3"
       "&idi=vobta&id5=1&id7=55Z&id8=390&id9=%E5%AD%A6%E5%A6%B9&id10=0&id11=&id12="},
      {81, "http://www.vobta.example/f/re81.php",
       "id=AB&id1609=vobta&id1608=vobta_com&id1=81&id2=5&id3=54U&id4=%237A8CFF&idi=vobta"
       "&id5=%23C0CACC&id6=%23E3E8EB"},
      {103, "http://www.vobta.example/f/re81.php",
       "id=AB&id1609=vobta&id1608=vobta_com&id1=83&id2=392&id3=54K&id4=%23F23619&idi=vobta"
       "&id5=%23242424&id6=%23E3E8EB"},
      // Values outside the usual forms go out exactly as they are.
      {49, "http://www.vobta.example/p/re105.php",
       "id=AB&id1609=vobta&id1608=vobta_com&id1=161&id2=&id3=&id4=4366FF&idi=vobta&id5=389"
       "&id6=1"},
      {93, "http://www.vobta.example/p/re179.php",
       "id=AB&id1609=vobta&id1608=vobta_com&id1=197&id2=397&id3=&id4=&idi=vobta"
       "&id5=%230000FF&id6=."},
      {116, "http://www.vobta.example/p/re23.php",
       "id=AB&id1609=vobta&id1608=vobta_com&id1=9017&id2=&id3=&id4=23&idi=vobta&id5=&id6="},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.index);
    const StyleRow* row = StyleCatalogue::Lookup(c.index);
    ASSERT_NE(row, nullptr);
    EXPECT_EQ(row->index, c.index);
    const SignRequest request = StyleCatalogue::Build(*row, "AB");
    EXPECT_EQ(request.url, c.url);
    EXPECT_EQ(request.body, c.body);
  }
}

TEST(StyleCatalogue, EmptyLineJoinsHeadAndTail) {
  const StyleRow* row = StyleCatalogue::Lookup(152);
  ASSERT_NE(row, nullptr);
  EXPECT_EQ(StyleCatalogue::Build(*row, "").body,
            "id=&id1609=vobta&id1608=vobta_com&id1=90&id2=&id3=&id4=%23FFA98F&idi=vobta"
            "&id5=391&id6=1");
}

TEST(StyleCatalogue, IndicesOutsideTheTableHaveNoRow) {
  EXPECT_EQ(StyleCatalogue::Lookup(-1), nullptr);
  EXPECT_EQ(StyleCatalogue::Lookup(StyleCatalogue::Size), nullptr);
}

// Every row sits at its own index, posts to an endpoint one folder below the root,
// and the endpoints are used as often as the service's styles need them.
TEST(StyleCatalogue, EveryRowAndEndpoint) {
  std::map<std::string, int> rowsPerEndpoint;
  for (int index = 0; index < StyleCatalogue::Size; ++index) {
    SCOPED_TRACE(index);
    const StyleRow* row = StyleCatalogue::Lookup(index);
    ASSERT_NE(row, nullptr);
    EXPECT_EQ(row->index, index);
    const std::string& path = row->endpointPath;
    ASSERT_TRUE(path.starts_with("/"));
    EXPECT_EQ(path.find('/', 1), 2u) << path;
    EXPECT_EQ(path.find('/', 3), std::string::npos) << path;
    EXPECT_TRUE(path.ends_with(".php")) << path;
    EXPECT_TRUE(row->head.starts_with("id=")) << row->head;
    EXPECT_TRUE(row->tail.starts_with("&")) << row->tail;
    ++rowsPerEndpoint[path];
  }
  const std::map<std::string, int> expected = {
      {"/p/re119.php", 53}, {"/p/re179.php", 23}, {"/p/re86.php", 20}, {"/p/re41.php", 17},
      {"/p/re11.php", 14},  {"/p/re105.php", 13}, {"/p/re34.php", 7},  {"/p/re72.php", 2},
      {"/f/re81.php", 2},   {"/p/re23.php", 1},   {"/p/re31.php", 1},
  };
  EXPECT_EQ(rowsPerEndpoint, expected);
}

}  // namespace
}  // namespace signmaker
