#include "render/html_page.h"

#include "render/converter.h"
#include "render/style_sheet.h"
#include "settings/cpp_defaults.h"

#include <gtest/gtest.h>

TEST(HtmlPage, WrapsTheResultInAWholePage) {
    ProfileSettings settings;
    ASSERT_EQ(SetCppDefaults(settings), 1);
    std::string html;
    ASSERT_EQ(ConvertSource(settings, "int a; // <x>", 1, html), 1);
    const std::string sheet = BuildStyleSheet(settings);
    const std::string page = BuildHtmlPage("a<b>&\"c\".h", html, sheet);
    EXPECT_EQ(page.rfind("<!DOCTYPE html>\n<html>\n<head>\n<meta charset=\"utf-8\">\n"
                         "<title>a&lt;b&gt;&amp;&quot;c&quot;.h</title>\n" +
                             sheet + "</head>\n<body>\n" + html,
                         0),
              0u);
    EXPECT_EQ(page.substr(page.size() - 22), html.substr(html.size() - 6) + "</body>\n</html>\n");
    // Font markup needs no style sheet; a body without a last line end gets one.
    EXPECT_EQ(BuildHtmlPage("t", "x", ""),
              "<!DOCTYPE html>\n<html>\n<head>\n<meta charset=\"utf-8\">\n"
              "<title>t</title>\n</head>\n<body>\nx\n</body>\n</html>\n");
}
