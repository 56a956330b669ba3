// Words after a keyword: one rule for zelkar-open, the desktop's search and the window's box.
#include "support/WindowTest.h"

#include "launch/core/KeywordOpen.h"
#include "launch/core/LaunchResolver.h"

namespace zelkar::test {
namespace {

using WordsTest = WindowTest;

TEST_F(WordsTest, HostileWordsStayDataInEveryKindOfTarget) {
  const QString script = MakeScript(QStringLiteral("prog"));
  const QString document = MakeFile(QStringLiteral("notes a&b.txt"));
  MakeFile(QStringLiteral("plain.txt"));
  const QString wiki = QStringLiteral("https://en.wikipedia.org/wiki/%s");
  const QString longWord(10000, QLatin1Char('x'));
  const QString pwned = QStringLiteral("$(touch pwned)");
  struct Row {
    const char* name;
    QString target;
    QStringList words;
    std::string expected;  // "refused" for a target that takes no words
    QString typed;         // the same typed into the window's box ("" = not typed)
  } rows[] = {
      {"address", wiki, {"linux", "kernel"}, "open https://en.wikipedia.org/wiki/linux%20kernel", "wiki linux kernel"},
      {"address quotes", wiki, {"it's", "\"q\""}, "open https://en.wikipedia.org/wiki/it%27s%20%22q%22", ""},
      {"address shell", wiki, {pwned}, "open https://en.wikipedia.org/wiki/%24%28touch%20pwned%29", "wiki " + pwned},
      {"address query", QStringLiteral("www.example.com/?q=%s&lang=en"), {"a&b=c#d", "100%"},
       "open http://www.example.com/?q=a%26b%3Dc%23d%20100%25&lang=en", "wiki2 a&b=c#d 100%"},
      {"address non-ASCII", wiki, {QStringLiteral("naïve"), QStringLiteral("日本")},
       "open https://en.wikipedia.org/wiki/na%C3%AFve%20%E6%97%A5%E6%9C%AC", ""},
      {"address long", wiki, {longWord}, "open https://en.wikipedia.org/wiki/" + longWord.toStdString(), ""},
      {"program %s", '"' + script + "\" --query=%s", {"a b", pwned, "#c"},
       "start " + script.toStdString() + "|--query=a b $(touch pwned) #c", ""},
      {"program", script, {"a b", pwned, "&", "#c", longWord},
       "start " + script.toStdString() + "|a b|$(touch pwned)|&|#c|" + longWord.toStdString(), "prog 'a b' \"&\""},
      {"document %s", path(QStringLiteral("notes %s.txt")), {"a&b"}, Open(document), "notes a&b"},
      {"document", path(QStringLiteral("plain.txt")), {"more"}, "refused", "plain more"},
      {"folder", dir(), {"more"}, "refused", ""},
      {"address without %s", QStringLiteral("https://example.com/"), {"more"}, "refused", ""},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    const QString keyword = row.typed.isEmpty() ? QStringLiteral("kw") : row.typed.section(QLatin1Char(' '), 0, 0);
    Put(keyword + QStringLiteral(".exe"), row.target);
    backend.clear();
    const launch::KeywordOpening opening = launch::OpenKeyword(keyword, row.words, backend);
    EXPECT_EQ(opening.result == launch::KeywordOpening::TakesNoArguments ? "refused" : Recorded(), row.expected);
    if (row.typed.isEmpty()) continue;
    if (row.expected == "refused") {
      EXPECT_TRUE(launch::RefusedWords(row.typed).has_value());
      EXPECT_EQ(Launch(row.typed), "failed none");
    } else {
      EXPECT_FALSE(launch::RefusedWords(row.typed).has_value());
      const std::string typedArgs = row.name == std::string("program") ? "start " + script.toStdString() + "|a b|&"
                                                                         : row.expected;
      EXPECT_EQ(Launch(row.typed), typedArgs);
    }
  }
}

}  // namespace
}  // namespace zelkar::test
