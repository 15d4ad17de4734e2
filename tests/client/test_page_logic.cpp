#include "client/page_logic.h"

#include <gtest/gtest.h>

namespace {

TEST(HasGameMarker, FindsEitherMarkerCaseSensitivelyAnywhere) {
  struct {
    const wchar_t* url;
    bool expected;
  } cases[] = {
      {L"http://g.example/play?client=2", true},
      {L"http://g.example/play?client=3&server=7", true},
      {L"http://g.example/play?client=21", true},      // followed by digits
      {L"http://g.example/play?webclient=2", true},    // preceded by letters
      {L"http://g.example/play#client=3", true},
      {L"http://g.example/play?client=2&client=3", true},
      {L"http://g.example/play?Client=2", false},      // capital C
      {L"http://g.example/play?CLIENT=3", false},
      {L"http://g.example/play?client=1", false},
      {L"http://g.example/play?client=", false},
      {L"client=", false},
      {L"", false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::PrintToString(std::wstring(c.url)));
    EXPECT_EQ(c.expected, HasGameMarker(c.url));
  }
}

TEST(BuildLoadErrorPage, IsThePageWithEscapedUrlAndText) {
  struct {
    const char* what;
    const wchar_t* url;
    const wchar_t* text;
    int code;
    const char* expected;
  } cases[] = {
      {"plain", L"http://a.example/x", L"ERR_NAME_NOT_RESOLVED", -105,
       "<html><body bgcolor=\"white\"><h2>Failed to load URL http://a.example/x with error ERR_NAME_NOT_RESOLVED "
       "(-105).</h2></body></html>"},
      {"empty error text gives two spaces", L"http://a.example/", L"", -2,
       "<html><body bgcolor=\"white\"><h2>Failed to load URL http://a.example/ with error  (-2).</h2></body></html>"},
      {"positive code", L"u", L"t", 404, "<html><body bgcolor=\"white\"><h2>Failed to load URL u with error t (404).</h2></body></html>"},
      {"markup is escaped", L"http://x/?q=<script>alert('x')</script>&a=\"b\"", L"<b>bad</b> & 'worse'", -105,
       "<html><body bgcolor=\"white\"><h2>Failed to load URL "
       "http://x/?q=&lt;script&gt;alert(&#39;x&#39;)&lt;/script&gt;&amp;a=&quot;b&quot; with error "
       "&lt;b&gt;bad&lt;/b&gt; &amp; &#39;worse&#39; (-105).</h2></body></html>"},
      {"non-ASCII comes through as UTF-8", L"http://\u6e38\u620f.example/\u00e9", L"\u9519\u8bef", -6,
       "<html><body bgcolor=\"white\"><h2>Failed to load URL http://\xe6\xb8\xb8\xe6\x88\x8f.example/\xc3\xa9 with "
       "error \xe9\x94\x99\xe8\xaf\xaf (-6).</h2></body></html>"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    EXPECT_EQ(std::string(c.expected), BuildLoadErrorPage(c.url, c.text, c.code));
  }
}

TEST(HtmlEscape, ReplacesTheFiveCharactersOnly) {
  EXPECT_EQ(L"&amp;&lt;&gt;&quot;&#39;", HtmlEscape(L"&<>\"'"));
  EXPECT_EQ(L"a b/c?d=e#f \u4e2d", HtmlEscape(L"a b/c?d=e#f \u4e2d"));
  EXPECT_EQ(L"&amp;amp;", HtmlEscape(L"&amp;"));
}

}  // namespace
