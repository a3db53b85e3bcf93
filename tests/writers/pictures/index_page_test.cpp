#include "writers/pictures/index_page.hpp"

#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <sstream>

#include "writers/pictures/picture_check.hpp"
#include "writers/pictures/pictures.hpp"
#include "writers/pictures/synthetic_pictures.hpp"

namespace vl::pictures {
namespace {

IndexPage pageOf(const std::vector<WrittenPicture>& written) {
    IndexPage page;
    page.title = "Road lighting <run> & pictures";
    page.installation = {"Lamp flux 6.5 klm, road width 7.0 m, pole spacing 24.0 m", "Eulumdat file \"a&b.ldt\""};
    page.keyFigures = {{"Average luminance L_av", "0.83", "cd/m\u00b2"}, {"Overall uniformity U_o", "0.42", ""}};
    for (const WrittenPicture& p : written) page.pictures.push_back({p.name + ".png", p.name, p.width, p.height, p.name + ".svg"});
    return page;
}

TEST(IndexPage, EscapesEveryTextAndRefersToNothingOutside) {
    IndexPage page = pageOf({{"map one#1", 10, 20}});
    page.extraTable = PageTable{"Class <assessment>", {"class", "met?"}, {{"M3", "yes & no"}, {"M4", "<b>no</b>"}}};
    const std::string html = renderIndexPage(page);
    EXPECT_NE(html.find("<title>Road lighting &lt;run&gt; &amp; pictures</title>"), std::string::npos);
    EXPECT_NE(html.find("Eulumdat file &quot;a&amp;b.ldt&quot;"), std::string::npos);
    EXPECT_NE(html.find("<img src=\"map%20one%231.png\" alt=\"map one#1\" width=\"10\" height=\"20\">"), std::string::npos);
    EXPECT_NE(html.find("<a href=\"map%20one%231.svg\">"), std::string::npos);
    EXPECT_NE(html.find("<h2>Class &lt;assessment&gt;</h2>"), std::string::npos);
    EXPECT_NE(html.find("<td>&lt;b&gt;no&lt;/b&gt;</td>"), std::string::npos);
    EXPECT_NE(html.find("<td class=\"value\">0.83</td><td>cd/m\u00b2</td>"), std::string::npos);
    // Offline and script-free: no script, no web font, no address outside the folder.
    for (const char* banned : {"<script", "@import", "@font-face", "url(", "http:", "https:", "//"}) {
        EXPECT_EQ(html.find(banned), std::string::npos) << banned;
    }
    EXPECT_EQ(renderIndexPage(IndexPage{}).find("<h2>"), std::string::npos);  // no empty sections
}

// Headless Chromium opens the page of the bundled run: every image loads, and the
// screenshot is not blank.
TEST(IndexPage, ChromiumShowsEveryPicture) {
    std::string chromium;
    for (const char* name : {"chromium", "chromium-browser", "google-chrome"}) {
        if (!test::toolMissing(name)) {
            chromium = name;
            break;
        }
    }
    if (chromium.empty()) GTEST_SKIP() << "Chromium is missing: the page is not opened (Debian: apt-get install chromium)";
    test::TempFolder runFolder;
    const auto run = test::runCommand("cp " VL_BUNDLED_DATA_DIR "/* '" + runFolder.path().string() + "' && cd '" +
                                      runFolder.path().string() + "' && '" VL_PROGRAM_PATH
                                      "' --batch --plots plots --start");
    ASSERT_EQ(run.status, 0) << run.out;
    const std::filesystem::path plots = runFolder.path() / "plots";
    std::vector<WrittenPicture> written;
    for (const auto& entry : std::filesystem::directory_iterator(plots)) {
        if (entry.path().extension() == ".png") written.push_back({entry.path().stem().string(), 0, 0});
    }
    ASSERT_GE(written.size(), 12u);
    // A test page (with a script, unlike index.html) lists the state of each image of the
    // page loaded in a frame.
    writeBytes(R"(<!DOCTYPE html><html><body><pre id="result">pending</pre>
<iframe id="page" src="index.html" width="1200" height="800"></iframe>
<script>
document.getElementById('page').addEventListener('load', function () {
  var doc = this.contentDocument, lines = [];
  if (!doc) { document.getElementById('result').textContent = 'NO-ACCESS'; return; }
  for (var k = 0; k < doc.images.length; ++k) {
    var im = doc.images[k];
    lines.push((im.complete && im.naturalWidth > 0 ? 'LOADED ' : 'BROKEN ') + im.getAttribute('src'));
  }
  lines.push('IMAGES ' + doc.images.length);
  document.getElementById('result').textContent = lines.join('\n');
});
</script></body></html>
)",
               plots / "check.html");
    const std::string flags = " --headless --no-sandbox --disable-gpu --hide-scrollbars --user-data-dir='" +
                              (runFolder.path() / "profile").string() + "'";
    const auto dom = test::runCommand("timeout 120 " + chromium + flags +
                                      " --allow-file-access-from-files --virtual-time-budget=10000 --dump-dom 'file://" +
                                      (plots / "check.html").string() + "'");
    const auto from = dom.out.find("<pre id=\"result\">");
    const auto to = dom.out.find("</pre>");
    ASSERT_TRUE(from != std::string::npos && to != std::string::npos) << dom.out;
    const std::string result = dom.out.substr(from, to - from);
    EXPECT_NE(result.find("IMAGES " + std::to_string(written.size())), std::string::npos) << result;
    EXPECT_EQ(result.find("BROKEN"), std::string::npos) << result;
    for (const WrittenPicture& p : written) EXPECT_NE(result.find("LOADED " + p.name + ".png"), std::string::npos) << p.name;

    const auto shot = runFolder.path() / "shot.png";
    test::runCommand("timeout 120 " + chromium + flags + " --window-size=1200,4000 --screenshot='" + shot.string() + "' 'file://" +
                     (plots / "index.html").string() + "'");
    std::ifstream in(shot, std::ios::binary);
    std::stringstream bytes;
    bytes << in.rdbuf();
    const auto pixels = test::decodePng(bytes.str());
    ASSERT_TRUE(pixels) << "no screenshot";
    // Not blank: the maps' colours show below the key figures and the class table.
    std::size_t coloured = 0;
    for (const Rgb& c : pixels->rgb) coloured += test::viridisIndex(c, 0.03) >= 0 ? 1 : 0;
    EXPECT_GT(coloured, pixels->rgb.size() / 100);
}

}  // namespace
}  // namespace vl::pictures
